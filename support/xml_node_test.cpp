// The XML tree: attributes, name matching, children, paths, moves, deep copies, and the
// document's one-root rule.
#include "support/xml_node.h"

#include <gtest/gtest.h>

#include <string>

#include "support/xml_document.h"
#include "support/xml_test_tree.h"

namespace {

using xml_test::Picture;

TEST(SameXMLName, FoldsAsciiLettersOnlyAndComparesLengths) {
  EXPECT_TRUE(SameXMLName("Setup", "SETUP"));
  EXPECT_TRUE(SameXMLName("xml:space", "XML:Space"));
  EXPECT_TRUE(SameXMLName("", ""));
  EXPECT_FALSE(SameXMLName("ab", "abc"));
  EXPECT_FALSE(SameXMLName("ab", std::string_view("ab\0", 3)));
  // Bytes outside a-z never fold: not the neighbours of the letters, not Latin-1, not UTF-8.
  EXPECT_FALSE(SameXMLName("[", "{"));
  EXPECT_FALSE(SameXMLName("@", "`"));
  EXPECT_FALSE(SameXMLName("\xE4", "\xC4"));
  EXPECT_FALSE(SameXMLName("\xC3\xA9", "\xC3\x89"));
}

TEST(XMLAttributes, LookupsFindTheFirstMatchInListOrder) {
  TVYNXMLAttributes attributes;
  attributes.Add("Name", u"first");
  attributes.Add("name", u"second");
  attributes.Add("other");
  EXPECT_EQ(attributes.Count(), 3);
  EXPECT_EQ(attributes.Find("NAME")->Value, u"first");
  EXPECT_EQ(attributes.GetValue("name"), u"first");
  EXPECT_EQ(attributes.GetValue("missing"), u"");
  EXPECT_EQ(attributes.Find("missing"), nullptr);
  EXPECT_EQ(attributes.Find("other")->Value, u"");

  EXPECT_TRUE(attributes.Remove("NAME"));
  EXPECT_EQ(attributes.GetValue("name"), u"second");
  EXPECT_TRUE(attributes.Remove("name"));
  EXPECT_FALSE(attributes.Remove("name"));
  EXPECT_EQ(attributes.Count(), 1);
  EXPECT_EQ(attributes.Items(0)->Name, "other");
  EXPECT_EQ(attributes.Items(1), nullptr);
  EXPECT_EQ(attributes.Items(-1), nullptr);
}

TEST(XMLAttributes, AssignCopiesEveryAttributeInOrder) {
  TVYNXMLAttributes source;
  source.Add("a", u"1");
  source.Add("a", u"2");
  TVYNXMLAttributes target;
  target.Add("old", u"x");
  target.Assign(source);
  source.Items(0)->Value = u"changed";
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target.Items(0)->Value, u"1");
  EXPECT_EQ(target.Items(1)->Value, u"2");
  EXPECT_EQ(target.Find("old"), nullptr);
  target.Assign(target);
  EXPECT_EQ(target.Count(), 2);
}

// root{a{b{c}} d}
class XMLTree : public testing::Test {
 protected:
  XMLTree() {
    a_ = root_.Add("a");
    b_ = a_->Add("b");
    c_ = b_->Add("c");
    d_ = root_.Add("d");
  }

  TVYNXMLNode root_;
  TVYNXMLNode* a_;
  TVYNXMLNode* b_;
  TVYNXMLNode* c_;
  TVYNXMLNode* d_;
};

TEST_F(XMLTree, ChildrenByIndexAndByName) {
  EXPECT_EQ(root_.Count(), 2);
  EXPECT_EQ(root_.Items(0), a_);
  EXPECT_EQ(root_.Items(1), d_);
  EXPECT_EQ(root_.Items(2), nullptr);
  EXPECT_EQ(root_.Items(-1), nullptr);
  EXPECT_EQ(c_->Count(), 0);
  EXPECT_EQ(c_->Items(0), nullptr);
  EXPECT_EQ(root_.FindNode("D"), d_);
  EXPECT_EQ(root_.FindNode("b"), nullptr);  // only children, not deeper
  EXPECT_EQ(b_->Parent(), a_);
  EXPECT_EQ(root_.Parent(), nullptr);
}

TEST_F(XMLTree, FindNodeByPathWithoutCreatingStopsAtTheFirstMissingName) {
  EXPECT_EQ(root_.FindNodeByPath({"A", "b", "C"}, false), c_);
  EXPECT_EQ(root_.FindNodeByPath({}, false), &root_);
  EXPECT_EQ(root_.FindNodeByPath({"a", "x", "c"}, false), nullptr);
  EXPECT_EQ(root_.FindNodeByPath({"a", "b", "c", "d"}, false), nullptr);
  EXPECT_EQ(Picture(root_), "a{b{c}} d");
}

TEST_F(XMLTree, FindNodeByPathCreatesWhatIsMissing) {
  TVYNXMLNode* created = root_.FindNodeByPath({"a", "x", "y"}, true);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->NodeName, "y");
  EXPECT_EQ(created->Parent()->Parent(), a_);
  EXPECT_EQ(root_.FindNodeByPath({"A", "B"}, true), b_);
  EXPECT_EQ(Picture(root_), "a{b{c} x{y}} d");
}

TEST_F(XMLTree, SetParentMovesTheNodeToTheEndOfItsNewParent) {
  d_->Add("e");
  EXPECT_EQ(b_->SetParent(d_), nullptr);
  EXPECT_EQ(b_->Parent(), d_);
  EXPECT_EQ(Picture(root_), "a d{e b{c}}");

  std::unique_ptr<TVYNXMLNode> detached = d_->SetParent(nullptr);
  ASSERT_EQ(detached.get(), d_);
  EXPECT_EQ(d_->Parent(), nullptr);
  EXPECT_EQ(Picture(root_), "a");
  EXPECT_EQ(Picture(*detached), "e b{c}");
}

TEST_F(XMLTree, SetParentRefusesMovesThatWouldBreakTheTree) {
  TVYNXMLNode loose;
  struct Refusal {
    const char* Title;
    TVYNXMLNode* Node;
    TVYNXMLNode* NewParent;
  };
  const Refusal refusals[] = {
      {"itself", a_, a_},
      {"its present parent", b_, a_},
      {"its child", a_, b_},
      {"a deeper descendant", a_, c_},
      {"a node without a parent", &loose, d_},
      {"nil for a node without a parent", &loose, nullptr},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.Title);
    EXPECT_EQ(refusal.Node->SetParent(refusal.NewParent), nullptr);
    EXPECT_EQ(Picture(root_), "a{b{c}} d");
    EXPECT_EQ(b_->Parent(), a_);
    EXPECT_EQ(loose.Parent(), nullptr);
  }
}

TEST_F(XMLTree, AssignMakesADeepCopy) {
  a_->NodeValue = u"value";
  b_->Attributes.Add("k", u"v");
  TVYNXMLNode copy;
  copy.Add("old")->Add("stale");
  copy.Assign(*a_);
  b_->Attributes.Items(0)->Value = u"changed";
  c_->NodeName = "renamed";

  EXPECT_EQ(copy.NodeName, "a");
  EXPECT_EQ(copy.NodeValue, u"value");
  EXPECT_EQ(Picture(copy), "b[k=\"v\"]{c}");
  EXPECT_EQ(copy.Items(0)->Parent(), &copy);
  EXPECT_EQ(copy.Items(0)->Items(0)->Parent(), copy.Items(0));
}

TEST_F(XMLTree, AssignFromADescendantCopiesBeforeItFreesTheOldChildren) {
  c_->Add("leaf");
  root_.Assign(*b_);
  EXPECT_EQ(root_.NodeName, "b");
  EXPECT_EQ(Picture(root_), "c{leaf}");
  EXPECT_EQ(root_.Items(0)->Parent(), &root_);
}

TEST_F(XMLTree, ClearFreesTheChildrenOnly) {
  root_.NodeName = "root";
  root_.Attributes.Add("k");
  root_.Clear();
  EXPECT_EQ(root_.Count(), 0);
  EXPECT_EQ(root_.NodeName, "root");
  EXPECT_EQ(root_.Attributes.Count(), 1);
  EXPECT_EQ(root_.Add("new")->Parent(), &root_);
}

// A chain far deeper than any thread stack could recurse through, under the sanitizers' larger
// frames too: copying, clearing and freeing it must not recurse.
TEST(XMLNode, DeepTreesAreCopiedAndFreedWithoutRecursion) {
  constexpr int Depth = 200'000;
  TVYNXMLNode root;
  TVYNXMLNode* node = &root;
  for (int i = 0; i < Depth; ++i) node = node->Add("n");
  auto copy = std::make_unique<TVYNXMLNode>();
  copy->Assign(root);
  int depth = 0;
  for (const TVYNXMLNode* walk = copy.get(); walk->Count() > 0; walk = walk->Items(0)) ++depth;
  EXPECT_EQ(depth, Depth);
  root.Clear();
  copy.reset();
}

TEST(XMLDocument, AcceptsOneTopLevelElement) {
  TVYNXMLDocument document;
  TVYNXMLNode* root = document.Add("root");
  root->Add("child")->Add("grandchild");
  try {
    document.Add("second");
    FAIL() << "a second top-level element was accepted";
  } catch (const EVYNXMLDocument& error) {
    EXPECT_EQ(error.Message(), u"Only one Root available");
  }
  EXPECT_THROW(document.FindNodeByPath({"other"}, true), EVYNXMLDocument);
  EXPECT_EQ(document.FindNodeByPath({"ROOT", "child"}, true), root->Items(0));
  EXPECT_EQ(Picture(document), "root{child{grandchild}}");
}

TEST(XMLDocument, MovesAndCopiesKeepTheOneRootRule) {
  TVYNXMLDocument document;
  TVYNXMLNode* root = document.Add("root");
  TVYNXMLNode* child = root->Add("child");
  EXPECT_THROW(child->SetParent(&document), EVYNXMLDocument);
  EXPECT_EQ(child->Parent(), root);

  TVYNXMLNode two_roots;
  two_roots.Add("a");
  two_roots.Add("b");
  EXPECT_THROW(document.Assign(two_roots), EVYNXMLDocument);
  EXPECT_EQ(Picture(document), "root{child}");

  // Once its root has gone, the document takes a new one.
  std::unique_ptr<TVYNXMLNode> old_root = root->SetParent(nullptr);
  ASSERT_EQ(old_root.get(), root);
  EXPECT_EQ(document.Count(), 0);
  EXPECT_EQ(Picture(*old_root), "child");
  TVYNXMLNode holder;
  holder.Add("copied")->Add("inner");
  document.Assign(holder);
  EXPECT_EQ(Picture(document), "copied{inner}");
}

}  // namespace

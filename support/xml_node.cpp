// The XML tree's nodes: ownership of children, lookups, moves and deep copies.
#include "support/xml_node.h"

#include <algorithm>
#include <utility>

TVYNXMLNode::~TVYNXMLNode() {
  FreeTrees(std::move(children_));
}

TVYNXMLNode* TVYNXMLNode::Add(std::string_view name) {
  auto child = std::make_unique<TVYNXMLNode>();
  child->NodeName = name;
  return AppendChild(std::move(child));
}

TVYNXMLNode* TVYNXMLNode::AppendChild(std::unique_ptr<TVYNXMLNode> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
  return children_.back().get();
}

void TVYNXMLNode::Assign(const TVYNXMLNode& source) {
  if (&source == this) return;
  // Copy before replacing anything: Source may sit below this node and die with the old
  // children.
  TVYNXMLNode copy;
  CopyTree(source, copy);
  Clear();
  NodeName = std::move(copy.NodeName);
  NodeValue = std::move(copy.NodeValue);
  Attributes = std::move(copy.Attributes);
  children_ = std::move(copy.children_);
  for (const auto& child : children_) child->parent_ = this;
}

void TVYNXMLNode::CopyTree(const TVYNXMLNode& source, TVYNXMLNode& target) {
  std::vector<std::pair<const TVYNXMLNode*, TVYNXMLNode*>> pending{{&source, &target}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    to->NodeName = from->NodeName;
    to->NodeValue = from->NodeValue;
    to->Attributes.Assign(from->Attributes);
    to->children_.reserve(from->children_.size());
    for (const auto& child : from->children_) {
      pending.emplace_back(child.get(), to->AppendChild(std::make_unique<TVYNXMLNode>()));
    }
  }
}

void TVYNXMLNode::Clear() {
  FreeTrees(std::move(children_));
  children_.clear();
}

// Frees nodes breadth-first from a work list: each node's children are taken out before the
// node dies, so no destructor ever recurses.
void TVYNXMLNode::FreeTrees(std::vector<std::unique_ptr<TVYNXMLNode>> nodes) {
  while (!nodes.empty()) {
    std::unique_ptr<TVYNXMLNode> node = std::move(nodes.back());
    nodes.pop_back();
    for (auto& child : node->children_) nodes.push_back(std::move(child));
    node->children_.clear();
  }
}

TVYNXMLNode* TVYNXMLNode::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return children_[static_cast<size_t>(index)].get();
}

TVYNXMLNode* TVYNXMLNode::FindNode(std::string_view name) const {
  for (const auto& child : children_) {
    if (SameXMLName(child->NodeName, name)) return child.get();
  }
  return nullptr;
}

TVYNXMLNode* TVYNXMLNode::FindNodeByPath(std::span<const std::string_view> names, bool can_create) {
  TVYNXMLNode* node = this;
  for (const std::string_view name : names) {
    TVYNXMLNode* child = node->FindNode(name);
    if (!child) {
      if (!can_create) return nullptr;
      child = node->Add(name);
    }
    node = child;
  }
  return node;
}

std::unique_ptr<TVYNXMLNode> TVYNXMLNode::SetParent(TVYNXMLNode* new_parent) {
  if (new_parent == parent_ || !parent_) return nullptr;
  for (const TVYNXMLNode* ancestor = new_parent; ancestor; ancestor = ancestor->parent_) {
    if (ancestor == this) return nullptr;
  }
  if (new_parent) new_parent->CheckRoomForChild();

  auto& siblings = parent_->children_;
  const auto self = std::find_if(siblings.begin(), siblings.end(),
                                 [this](const auto& sibling) { return sibling.get() == this; });
  std::unique_ptr<TVYNXMLNode> owned = std::move(*self);
  siblings.erase(self);
  parent_ = nullptr;
  if (!new_parent) return owned;
  new_parent->AppendChild(std::move(owned));
  return nullptr;
}

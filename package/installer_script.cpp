// Reading the installer script.
#include "package/installer_script.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/file_name.h"
#include "support/names.h"
#include "support/xml_attribute.h"
#include "support/xml_document.h"

namespace {

// Whether any element below Root lies more than Limit levels deep (Root being level 1). Walked
// with a list of its own instead of the call stack, so that a hostile script nested a million
// levels deep costs no more than its size, and stops at the first element too deep.
bool DeeperThan(const TVYNXMLNode& root, int limit) {
  std::vector<std::pair<const TVYNXMLNode*, int>> pending{{&root, 1}};
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    if (depth > limit) return true;
    for (int i = 0; i < node->Count(); ++i) pending.emplace_back(node->Items(i), depth + 1);
  }
  return false;
}

}  // namespace

bool TInstallerScriptFile::MatchesLanguage(StringView family) const {
  return LangFamily.empty() || SameName(LangFamily, family);
}

String TInstallerScriptFile::SourceName() const {
  if (!Text.empty()) return Text;
  return platform::ExtractFileName(Name);
}

void TInstallerScriptGroup::Load(const TVYNXMLNode& element) {
  for (int i = 0; i < element.Count(); ++i) LoadItem(*element.Items(i));
  if (element.Count() == 0 && !element.NodeValue.empty()) {
    auto entry = std::make_unique<TInstallerScriptFile>();
    entry->Name = element.NodeValue;
    items_.push_back(std::move(entry));
  }
}

void TInstallerScriptGroup::LoadItem(const TVYNXMLNode& element) {
  if (!SameXMLName(element.NodeName, "File")) return;
  auto entry = std::make_unique<TInstallerScriptFile>();
  entry->Name = element.Attributes.GetValue("name");
  entry->Text = element.NodeValue;
  entry->LangFamily = element.Attributes.GetValue("lang-family");
  items_.push_back(std::move(entry));
}

const TInstallerScriptFile* TInstallerScriptGroup::Find(StringView family) const {
  for (const auto& item : items_) {
    if (item->MatchesLanguage(family)) return item.get();
  }
  return nullptr;
}

void TInstallerScript::Load(TStream& stream) {
  constexpr StringView Refusal = u"Install.xml is not valid XML: ";
  // A magic of four bytes and at least one more.
  constexpr int64_t CompactFormMinimum = 5;
  if (stream.Size() <= stream.Position()) {
    throw EInstallerScriptError(String(Refusal) + u"the file is empty");
  }
  // What the document raises (a second top-level element, a compact form cut short) goes out
  // as it is: it already stops the run before anything is written.
  TVYNXMLDocument document;
  const int64_t size = stream.Size() - stream.Position();
  if (size < CompactFormMinimum) {
    // Too short for a compact form, and a document stream that short reads as nothing at all;
    // read as the text it is, it says what is wrong with it.
    std::string text(static_cast<size_t>(size), '\0');
    stream.ReadBuffer(text.data(), size);
    document.LoadFromString(text);
  } else {
    document.LoadFromStream(stream);
  }
  if (const auto& problem = document.TextProblem()) {
    throw EInstallerScriptError(String(Refusal) + problem->Message + u" (line " +
                                Utf8ToString(std::to_string(problem->Line)) + u", column " +
                                Utf8ToString(std::to_string(problem->Column)) + u")");
  }
  const TVYNXMLNode* root = document.Items(0);
  if (root == nullptr) throw EInstallerScriptError(String(Refusal) + u"it holds no element");
  if (DeeperThan(*root, MaximumScriptDepth)) {
    throw EInstallerScriptError(u"Install.xml nests its elements more than " +
                                Utf8ToString(std::to_string(MaximumScriptDepth)) +
                                u" levels deep; a script needs four.");
  }

  if (const TVYNXMLNode* setup = root->FindNode("setup")) {
    if (const TVYNXMLNode* license = setup->FindNode("license")) License.Load(*license);
  }
  const TVYNXMLNode* product = root->FindNode("product");
  if (product == nullptr) return;
  for (int i = 0; i < product->Count(); ++i) {
    const TVYNXMLNode& child = *product->Items(i);
    if (SameXMLName(child.NodeName, "Components")) {
      Components.Load(child);
    } else if (SameXMLName(child.NodeName, "Actions")) {
      Actions.Load(child);
    } else if (SameXMLName(child.NodeName, "Shortcuts")) {
      Shortcuts.Load(child);
    } else if (SameXMLName(child.NodeName, "Settings")) {
      for (int j = 0; j < child.Count(); ++j) {
        const TVYNXMLNode& setting = *child.Items(j);
        Settings.Add(setting.Attributes.GetValue("name") + Settings.NameValueSeparator() +
                     setting.Attributes.GetValue("value"));
      }
    }
  }
}

String TInstallerScript::GetSetting(StringView name) const {
  return Settings.GetValue(name);
}

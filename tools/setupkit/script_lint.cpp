// The strict reading of an installer script.
#include "tools/setupkit/script_lint.h"

#include <algorithm>
#include <optional>

#include "tools/setupkit/folder_package.h"
#include "tools/setupkit/xml_well_formed.h"

const std::vector<TScriptSettingInfo> ScriptSettings = {
    {u"ProductName", u"the product's name: page titles, $NAME, the uninstall entry; required"},
    {u"ProductVersion", u"the version the wizard shows, such as \"5.00\""},
    {u"ProductVersionId", u"the version as a whole number (5000 for 5.00), for comparisons"},
    {u"ProductVersionNo", u"the version of the uninstall entry (\"DisplayVersion\")"},
    {u"BuildDate", u"joined to ProductVersion with \", \" where the full version is shown"},
    {u"Publisher", u"the publisher of the uninstall entry"},
    {u"HomePage", u"the home page: the finish page's link and the uninstall entry's"},
    {u"DisplayIcon", u"the installed program whose icon the list of installed programs shows"},
};

const std::vector<TPathVariableInfo> PathVariables = {
    {u"$DEST", u"the installation folder, with its trailing backslash", true},
    {u"$DESKTOP", u"the desktop of all users, with its trailing backslash", true},
    {u"$STARTMENU", u"the Start menu's programs folder of all users, with its backslash", true},
    {u"$PROGRAMS", u"the program-files folder (C:\\Program Files\\)", true},
    {u"$TEMP", u"the user's temporary folder, with its trailing backslash", true},
    {u"$NAME", u"the ProductName setting", false},
    {u"$VERSION", u"ProductVersion and BuildDate", false},
    {u"$LINK", u"the HomePage setting", false},
};

namespace {

char16_t FoldAscii(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// As the installer compares element and attribute names: ASCII letters in either case.
bool SameXmlName(StringView a, StringView b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

String Folded(StringView text) {
  String folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
  return folded;
}

// Edits (insert, delete, replace, swap of neighbours) from one text to the other, letter case
// ignored.
size_t Distance(StringView a, StringView b) {
  const String x = Folded(a), y = Folded(b);
  std::vector<std::vector<size_t>> d(x.size() + 1, std::vector<size_t>(y.size() + 1));
  for (size_t i = 0; i <= x.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= y.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= x.size(); ++i) {
    for (size_t j = 1; j <= y.size(); ++j) {
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[x.size()][y.size()];
}

String Quoted(StringView text) {
  return u"\"" + String(text) + u"\"";
}

bool IsLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsAbsolute(StringView path) {
  return (path.size() >= 3 && IsLetter(path[0]) && path[1] == u':' &&
          (path[2] == u'\\' || path[2] == u'/')) ||
         path.starts_with(u"\\\\");
}

// The part after the last ":", "\" or "/": the name a component is found under in the
// packages when its element holds no text.
StringView LastComponent(StringView name) {
  const size_t cut = name.find_last_of(u":\\/");
  return cut == StringView::npos ? name : name.substr(cut + 1);
}

bool LeavesItsFolder(StringView path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of(u"\\/", start);
    if (end == StringView::npos) end = path.size();
    if (path.substr(start, end - start) == u"..") return true;
    start = end + 1;
  }
  return false;
}

class TScriptLinter {
 public:
  explicit TScriptLinter(const TScriptLintInput& input) : input_(input) {}

  std::vector<TLintFinding> Run() {
    TXmlElement root;
    if (const auto problem = ReadWellFormedXml(input_.Script, root)) {
      findings_.push_back({TLintSeverity::Error, u"Install.xml", problem->Line,
                           u"column " + FormatNumber(problem->Column) + u": " + problem->Message +
                               u"; the installer refuses a script that is not well-formed XML"});
      return std::move(findings_);
    }
    const TXmlElement* product = nullptr;
    for (const TXmlElement& child : root.Children) {
      const String name = Known(child, {u"setup", u"product"}, u"the script");
      if (name == u"setup" && child.Children.size() > 0) CheckSetup(child);
      if (name == u"product" && product == nullptr) product = &child;
    }
    if (product == nullptr) {
      Error(root.Line,
            u"there is no <product> element, so nothing would be installed; put "
            u"<Settings> and <Components> inside <product>");
      return std::move(findings_);
    }
    for (const TXmlElement& child : product->Children) {
      const String group =
          Known(child, {u"Components", u"Actions", u"Shortcuts", u"Settings"}, u"<product>");
      if (group == u"Settings") {
        CheckSettings(child);
      } else if (!group.empty()) {
        CheckGroup(child, group);
      }
    }
    CheckProductName(*product);
    CheckUnusedProductFiles();
    return std::move(findings_);
  }

 private:
  void Error(int line, const String& message) {
    findings_.push_back({TLintSeverity::Error, u"Install.xml", line, message});
  }
  void Warning(int line, const String& message) {
    findings_.push_back({TLintSeverity::Warning, u"Install.xml", line, message});
  }

  // The known name Element has, as the installer compares names; an error naming the nearest
  // known name, and an empty result, for any other.
  String Known(const TXmlElement& element, std::initializer_list<const char16_t*> known,
               StringView where) {
    std::vector<String> names;
    for (const char16_t* name : known) {
      if (SameXmlName(element.Name, name)) return name;
      names.emplace_back(name);
    }
    const String nearest = NearestName(element.Name, names);
    Error(element.Line, u"<" + element.Name + u"> is not read inside " + String(where) +
                            (nearest.empty() ? u"; it is ignored, so remove it"
                                             : u"; did you mean <" + nearest + u">?"));
    return String();
  }

  // The attributes of Element that the installer reads, by their known names; an error for
  // any other.
  std::optional<String> Attribute(const TXmlElement& element, StringView name) {
    for (const TXmlAttribute& attribute : element.Attributes) {
      if (SameXmlName(attribute.Name, name)) return attribute.Value;
    }
    return std::nullopt;
  }

  void OnlyAttributes(const TXmlElement& element, std::initializer_list<const char16_t*> known) {
    std::vector<String> names(known.begin(), known.end());
    for (const TXmlAttribute& attribute : element.Attributes) {
      if (std::any_of(names.begin(), names.end(),
                      [&](const String& name) { return SameXmlName(attribute.Name, name); })) {
        continue;
      }
      const String nearest = NearestName(attribute.Name, names);
      Error(attribute.Line,
            u"the attribute " + Quoted(attribute.Name) + u" of <" + element.Name +
                u"> is not read" +
                (nearest.empty() ? u"; remove it" : u"; did you mean " + Quoted(nearest) + u"?"));
    }
  }

  void CheckSetup(const TXmlElement& setup) {
    for (const TXmlElement& child : setup.Children) {
      if (Known(child, {u"license"}, u"<setup>").empty()) continue;
      if (child.Children.empty()) {
        const String name = Trim(child.Text);
        if (!name.empty()) RequirePackaged(child.Line, name, u"the licence");
        continue;
      }
      for (const TXmlElement& file : child.Children) {
        if (Known(file, {u"File"}, u"<license>").empty()) continue;
        OnlyAttributes(file, {u"name", u"lang-family"});
        const String name = Attribute(file, u"name").value_or(String());
        if (name.empty()) {
          Error(file.Line, u"this licence <File> has no \"name\"; name the licence file");
        } else {
          RequirePackaged(file.Line, name, u"the licence");
          used_.push_back(Folded(name));
        }
      }
    }
  }

  void CheckSettings(const TXmlElement& settings) {
    std::vector<String> known;
    for (const TScriptSettingInfo& setting : ScriptSettings) known.emplace_back(setting.Name);
    std::vector<String> seen;
    for (const TXmlElement& setting : settings.Children) {
      OnlyAttributes(setting, {u"name", u"value"});
      const String name = Attribute(setting, u"name").value_or(String());
      if (name.empty()) {
        Error(setting.Line,
              u"this setting has no \"name\"; give it one of the settings the "
              u"installer reads");
        continue;
      }
      // Setting names are looked up exactly as written.
      if (std::find(known.begin(), known.end(), name) == known.end()) {
        const String nearest = NearestName(name, known);
        Error(setting.Line,
              u"the installer reads no setting " + Quoted(name) +
                  (nearest.empty() ? u"; remove it" : u"; did you mean " + Quoted(nearest) + u"?"));
        continue;
      }
      if (!Attribute(setting, u"value")) {
        Warning(setting.Line,
                u"the setting " + Quoted(name) + u" has no \"value\"; it reads as empty");
      }
      if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
        Warning(setting.Line, u"the setting " + Quoted(name) +
                                  u" is given again; only this last value counts, so remove the "
                                  u"other");
      }
      seen.push_back(name);
      if (name == u"DisplayIcon")
        CheckVariables(setting.Line, Attribute(setting, u"value").value_or(String()));
    }
  }

  void CheckProductName(const TXmlElement& product) {
    String value;
    for (const TXmlElement& group : product.Children) {
      if (!SameXmlName(group.Name, u"Settings")) continue;
      for (const TXmlElement& setting : group.Children) {
        if (Attribute(setting, u"name").value_or(String()) == u"ProductName") {
          value = Attribute(setting, u"value").value_or(String());
        }
      }
    }
    if (Trim(value).empty()) {
      Error(product.Line,
            u"no \"ProductName\" setting; the installer refuses to start without "
            u"one, so add <Setting name=\"ProductName\" value=\"...\"/> to <Settings>");
    }
  }

  void CheckGroup(const TXmlElement& group, const String& kind) {
    if (group.Children.empty() && !Trim(group.Text).empty()) {
      // One file named by the group's own text: a destination without a package name.
      CheckEntry(kind, group.Line, Trim(group.Text), String(), String());
      return;
    }
    for (const TXmlElement& file : group.Children) {
      if (Known(file, {u"File"}, u"<" + kind + u">").empty()) continue;
      OnlyAttributes(file, kind == u"Components"
                               ? std::initializer_list<const char16_t*>{u"name", u"lang-family"}
                               : std::initializer_list<const char16_t*>{u"name"});
      const std::optional<String> name = Attribute(file, u"name");
      if (!name || name->empty()) {
        Error(file.Line,
              u"this <File> of <" + kind + u"> has no \"name\"; give " +
                  (kind == u"Components"  ? u"its destination, such as $DEST\\file.txt"
                   : kind == u"Shortcuts" ? u"the shortcut's file, such as $DESKTOP\\$NAME.lnk"
                                          : u"the program to start, such as $DEST\\app.exe"));
        continue;
      }
      CheckEntry(kind, file.Line, *name, Trim(file.Text),
                 Attribute(file, u"lang-family").value_or(String()));
    }
  }

  void CheckEntry(const String& kind, int line, const String& name, const String& text,
                  const String& family) {
    const bool variables_known = CheckVariables(line, name);
    if (kind == u"Shortcuts") CheckVariables(line, text);
    if (kind != u"Components") return;
    if (variables_known) CheckTarget(line, name);
    const String source = text.empty() ? String(LastComponent(name)) : text;
    RequirePackaged(line, source, u"the component " + Quoted(name));
    used_.push_back(Folded(source));
    // Two entries for one place overwrite each other, unless they are for different languages.
    const String key = Folded(name);
    for (const auto& [other_key, other_family, other_line] : targets_) {
      if (other_key == key &&
          (other_family.empty() || family.empty() || Folded(other_family) == Folded(family))) {
        Error(line, Quoted(name) + u" is installed twice (also on line " +
                        FormatNumber(other_line) +
                        u"); one would overwrite the other, so keep one");
        break;
      }
    }
    targets_.push_back({key, family, line});
  }

  void CheckTarget(int line, const String& name) {
    const auto starts_with_folder = std::any_of(
        PathVariables.begin(), PathVariables.end(), [&](const TPathVariableInfo& variable) {
          const StringView variable_name(variable.Name);
          return variable.Folder && StringView(name).starts_with(variable_name) &&
                 (name.size() == variable_name.size() || name[variable_name.size()] == u'\\' ||
                  name[variable_name.size()] == u'/');
        });
    if (LeavesItsFolder(name)) {
      Error(line, Quoted(name) +
                      u" leaves its folder with \"..\"; name the folder it goes to "
                      u"from its variable down");
    } else if (!starts_with_folder && IsAbsolute(name)) {
      Warning(line, Quoted(name) +
                        u" is a fixed place outside the installation folder; start it "
                        u"with $DEST\\ to install into the folder the user chooses");
    } else if (!starts_with_folder) {
      Error(line, Quoted(name) +
                      u" is not a full path once its variables are replaced, so it "
                      u"would land relative to whatever folder is current; start it "
                      u"with $DEST\\");
    }
  }

  // Every "$" followed by letters must be a variable the installer replaces, exactly as written.
  // False when one is not.
  bool CheckVariables(int line, StringView text) {
    bool known = true;
    for (size_t dollar = text.find(u'$'); dollar != StringView::npos;
         dollar = text.find(u'$', dollar + 1)) {
      size_t end = dollar + 1;
      while (end < text.size() &&
             (IsLetter(text[end]) || (text[end] >= u'0' && text[end] <= u'9'))) {
        ++end;
      }
      const StringView word = text.substr(dollar, end - dollar);
      if (word.size() == 1) continue;
      const TPathVariableInfo* exact = nullptr;
      const TPathVariableInfo* prefix = nullptr;
      const TPathVariableInfo* folded = nullptr;
      for (const TPathVariableInfo& variable : PathVariables) {
        const StringView name(variable.Name);
        if (word == name) exact = &variable;
        if (word.size() > name.size() && word.starts_with(name)) prefix = &variable;
        if (word.size() >= name.size() && SameXmlName(word.substr(0, name.size()), name)) {
          folded = &variable;
        }
      }
      if (exact != nullptr) continue;
      known = false;
      if (prefix != nullptr) {
        const StringView name(prefix->Name);
        Error(line, Quoted(word) + u" is no variable: the installer replaces " + String(name) +
                        u" and keeps " + Quoted(word.substr(name.size())) + u" after it; write " +
                        String(name) + u"\\" + String(word.substr(name.size())) +
                        u" for a folder in it");
      } else if (folded != nullptr) {
        Error(line, Quoted(word) +
                        u" is not replaced: variables are replaced only as written, "
                        u"so write " +
                        String(folded->Name) +
                        String(word.substr(StringView(folded->Name).size())));
      } else {
        std::vector<String> names;
        for (const TPathVariableInfo& variable : PathVariables) names.emplace_back(variable.Name);
        const String nearest = NearestName(word, names);
        Error(line, Quoted(word) + u" is no variable the installer replaces" +
                        (nearest.empty() ? u"; the known ones are $DEST, $DESKTOP, $STARTMENU, "
                                           u"$PROGRAMS, $TEMP, $NAME, $VERSION and $LINK"
                                         : u"; did you mean " + nearest + u"?"));
      }
    }
    return known;
  }

  void RequirePackaged(int line, const String& name, const String& what) {
    if (!input_.Holds || input_.Holds(name)) return;
    Error(line,
          String(what) + u" needs " + Quoted(name) +
              u", which is in neither package; add it to the product folder or correct the name");
  }

  // A product file nothing installs travels in every setup for nothing.
  void CheckUnusedProductFiles() {
    for (const String& file : input_.ProductFiles) {
      const String folded = Folded(file);
      if (folded == u"INSTALL.XML" || folded == u"ADDONS.INI" || folded.ends_with(u".LNG") ||
          folded.ends_with(u".PNG")) {
        continue;
      }
      if (std::find(used_.begin(), used_.end(), folded) != used_.end()) continue;
      findings_.push_back({TLintSeverity::Warning, file, 0,
                           u"no component installs it, so it is packed for nothing; install it "
                           u"with a <File> in <Components> or leave it out of the product folder"});
    }
  }

  struct Target {
    String Key;
    String Family;
    int Line;
  };

  const TScriptLintInput& input_;
  std::vector<TLintFinding> findings_;
  std::vector<Target> targets_;
  // Folded names of the package files the script uses.
  std::vector<String> used_;
};

}  // namespace

String NearestName(StringView name, const std::vector<String>& known) {
  String nearest;
  size_t best = name.size() <= 4 ? 1 : 2;
  for (const String& candidate : known) {
    const size_t distance = Distance(name, candidate);
    if (distance <= best && (nearest.empty() || distance < best)) {
      nearest = candidate;
      best = distance;
    }
  }
  if (!nearest.empty()) return nearest;
  // A known name with something added or cut off ("ProductVersionNumber").
  const String folded = Folded(name);
  for (const String& candidate : known) {
    const String other = Folded(candidate);
    const bool extends = folded.starts_with(other) || other.starts_with(folded);
    if (extends && std::min(folded.size(), other.size()) >= 4) return candidate;
  }
  return String();
}

std::vector<TLintFinding> LintScript(const TScriptLintInput& input) {
  return TScriptLinter(input).Run();
}

String ScriptReferenceTables() {
  String text = u"| Setting | What the installer does with it |\n|---|---|\n";
  for (const TScriptSettingInfo& setting : ScriptSettings) {
    text += u"| `" + String(setting.Name) + u"` | " + String(setting.Use) + u" |\n";
  }
  text += u"\n| Variable | Replaced by | A folder to install below |\n|---|---|---|\n";
  for (const TPathVariableInfo& variable : PathVariables) {
    text += u"| `" + String(variable.Name) + u"` | " + String(variable.Meaning) + u" | " +
            (variable.Folder ? u"yes" : u"no") + u" |\n";
  }
  return text;
}

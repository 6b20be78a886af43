// The language-file reference in docs/ holds the very tables lint checks against, and the demo's
// "English.lng", the reference English the kit ships, holds every key of them and nothing else.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "package/installer_script.h"
#include "package/language_keys.h"
#include "support/ini_file.h"
#include "support/memory_stream.h"
#include "tools/setupkit/language_lint.h"

namespace {

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream file(std::string(UINSTALLER_SOURCE_DIR) + "/" + relative, std::ios::binary);
  EXPECT_TRUE(file) << relative << " is missing";
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(LanguageReference, TheDocumentHoldsTheTablesLintChecksAgainst) {
  const std::string document = ReadSourceFile("docs/language-files.md");
  const size_t opening = document.find("<!-- generated from the table");
  const size_t start = document.find("-->\n", opening);
  const size_t end = document.find("<!-- end of generated tables -->");
  ASSERT_NE(opening, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(document.substr(start + 4, end - start - 4), StringToUtf8(LanguageReferenceTables()))
      << "write the tables anew from LanguageReferenceTables()";
}

void Fill(TMemoryStream& stream, const std::string& bytes) {
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
}

// The captions of the post-install choices the demo's script lists.
std::vector<String> DemoActionKeys() {
  TMemoryStream stream;
  Fill(stream, ReadSourceFile("demo/setup/Install.xml"));
  TInstallerScript script;
  script.Load(stream);
  std::vector<String> keys;
  for (int i = 0; i < script.Actions.Count(); ++i)
    keys.push_back(script.Actions.Items(i).SourceName());
  return keys;
}

TEST(LanguageReference, TheDemosEnglishHoldsEveryKeyTheInstallerReads) {
  const std::string bytes = ReadSourceFile("demo/setup/English.lng");
  // Read as the installer reads it, apart from the lint.
  TMemoryStream stream;
  Fill(stream, bytes);
  TVYNIniFile english;
  english.LoadFromStream(stream);
  for (const TLanguageKeyInfo& info : LanguageKeys) {
    EXPECT_TRUE(english.ValueExists(info.Section, info.Key))
        << "[" << StringToUtf8(info.Section) << "] " << StringToUtf8(info.Key);
  }
  const std::vector<String> actions = DemoActionKeys();
  ASSERT_FALSE(actions.empty());
  for (const String& key : actions) {
    EXPECT_TRUE(english.ValueExists(u"PageFinish", key)) << StringToUtf8(key);
  }

  // And no section or key the installer does not read: lint finds nothing at all in it.
  TLanguageLintInput input;
  input.English = bytes;
  input.ActionCaptionKeys = actions;
  for (const TLintFinding& finding : LintLanguages(input)) {
    ADD_FAILURE() << finding.Line << ": " << StringToUtf8(finding.Message);
  }
}

}  // namespace

// The script reference in docs/ holds the very tables lint checks against, so the two cannot
// drift apart.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tools/setupkit/script_lint.h"

namespace {

TEST(ScriptReference, TheDocumentHoldsTheTablesLintChecksAgainst) {
  std::ifstream file(std::string(UINSTALLER_SOURCE_DIR) + "/docs/install-xml.md");
  ASSERT_TRUE(file) << "docs/install-xml.md is missing";
  std::stringstream text;
  text << file.rdbuf();
  const std::string document = text.str();
  const size_t opening = document.find("<!-- generated from the tables");
  const size_t start = document.find("-->\n", opening);
  const size_t end = document.find("<!-- end of generated tables -->");
  ASSERT_NE(opening, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(document.substr(start + 4, end - start - 4), StringToUtf8(ScriptReferenceTables()))
      << "write the tables anew from ScriptReferenceTables()";
}

}  // namespace

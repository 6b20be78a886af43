// The XML document's loading and saving: choosing the form by the first bytes, the settings,
// and round trips through every writer.
#include "support/xml_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/encoding.h"
#include "support/memory_stream.h"
#include "support/xml_test_tree.h"

namespace {

using xml_test::Picture;

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// A stream that is not a memory stream, so the document copies what it reads.
class TWrappedStream : public TStream {
 public:
  explicit TWrappedStream(std::string_view text) : inner_(Bytes(text)) {}

  int64_t Read(void* buffer, int64_t count) override { return inner_.Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override { return inner_.Write(buffer, count); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return inner_.Seek(offset, origin); }
  void SetSize(int64_t size) override { inner_.SetSize(size); }

 private:
  TMemoryStream inner_;
};

TEST(XMLDocumentLoad, FourBytesOrFewerLoadAsAnEmptyDocument) {
  for (const std::string_view text : {"", "<a>", "<a/>", "SXML", "BXML"}) {
    SCOPED_TRACE(text);
    TVYNXMLDocument document;
    document.Add("old");
    TMemoryStream stream(Bytes(text));
    document.LoadFromStream(stream);
    EXPECT_EQ(document.Count(), 0);
  }
}

TEST(XMLDocumentLoad, ReadsFromTheStreamsPosition) {
  TMemoryStream stream(Bytes("junk<a>x</a>"));
  stream.SetPosition(4);
  TVYNXMLDocument document(stream);
  EXPECT_EQ(Picture(document), "a=\"x\"");
  EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(XMLDocumentLoad, StreamsOfAnyKindAreReadInFull) {
  TWrappedStream stream("<?xml?><a k='1'><b>x</b></a>");
  TVYNXMLDocument document;
  document.LoadFromStream(stream);
  EXPECT_EQ(Picture(document), "a[k=\"1\"]{b=\"x\"}");
  EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(XMLDocumentLoad, BinaryMagicThatIsCutShortRaisesTheReadError) {
  for (const std::string_view text : {"SXML\x01", "BXML\x01\x00", "SXML<a/>"}) {
    TWrappedStream stream(text);
    TVYNXMLDocument document;
    EXPECT_THROW(document.LoadFromStream(stream), EReadError);
  }
}

TEST(XMLDocumentLoad, MagicIsCaseSensitive) {
  TMemoryStream stream(Bytes("sxml<a/>"));
  TVYNXMLDocument document;
  document.LoadFromStream(stream);
  EXPECT_EQ(Picture(document), "a");
}

TEST(XMLDocumentLoad, StreamDefaultsToTheAnsiCodePageAndStringsToUtf8) {
  const std::string text = "<a>\xC3\xA9</a>";
  TVYNXMLDocument document;
  document.LoadFromString(text);
  EXPECT_EQ(document.Items(0)->NodeValue, u"é");

  TMemoryStream stream(Bytes(text));
  document.LoadFromStream(stream);
  EXPECT_EQ(document.Items(0)->NodeValue, TEncoding::ANSI().GetString(Bytes("\xC3\xA9")));

  stream.SetPosition(0);
  document.LoadFromStream(stream, {.CodePage = 0, .Mode = xemUtf8});
  EXPECT_EQ(document.Items(0)->NodeValue, u"é");
  stream.SetPosition(0);
  document.LoadFromStream(stream, {.CodePage = 1251, .Mode = xemCodePage});
  EXPECT_EQ(document.Items(0)->NodeValue, u"Г©");
}

TEST(XMLDocumentLoad, EveryLoadStartsFromAnEmptyDocument) {
  TVYNXMLDocument document;
  document.LoadFromString("<![CDATA[top]]><a/>");
  EXPECT_EQ(document.NodeValue, u"top");
  document.LoadFromString("<b/>");
  EXPECT_EQ(document.NodeValue, u"");
  EXPECT_EQ(Picture(document), "b");
}

TEST(XMLDocumentSave, FormatPicksTheWriter) {
  TVYNXMLDocument document;
  // Not "= u"x"": that assignment trips a false -Wrestrict of mingw-w64's GCC 12 at -O3.
  document.Add("a")->NodeValue = String(u"x");

  TMemoryStream binary;
  document.SaveToStream(binary, {.Format = xfBinary});
  ASSERT_GE(binary.Size(), 4);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(binary.Memory()), 4), "SXML");

  TMemoryStream text;
  document.SaveToStream(text);
  EXPECT_EQ(std::string(text.Bytes().begin(), text.Bytes().end()),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a>x</a>\r\n");
}

// Text, then the tree, then each written form, then the tree again.
TEST(XMLDocumentSave, EveryFormReadsBackAsTheSameTree) {
  TVYNXMLDocument document;
  document.LoadFromString(
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
      "<script><setup><license lang='en'>Terms &amp; conditions</license></setup>"
      "<files><file name='a.exe' dest='$DEST\\'/><file name='\xD0\x94'/></files>"
      "<note xml:space='preserve'> leading space</note><multi>one\r\ntwo</multi></script>");
  const std::string before = Picture(document);

  const TVYNXMLWriteSettings forms[] = {
      {.Format = xfBinary},
      {.Format = xfText, .AttributesOnNewLines = false, .Indent = true, .LineBreaks = true},
      {.Format = xfText, .AttributesOnNewLines = true, .Indent = true, .LineBreaks = true},
      {.Format = xfText, .AttributesOnNewLines = false, .Indent = false, .LineBreaks = false},
  };
  for (const TVYNXMLWriteSettings& settings : forms) {
    TMemoryStream stream;
    document.SaveToStream(stream, settings);
    stream.SetPosition(0);
    TVYNXMLDocument reread;
    // Text comes back through the ANSI default too: the declaration names UTF-8.
    reread.LoadFromStream(stream);
    EXPECT_EQ(Picture(reread), before);
  }
}

}  // namespace

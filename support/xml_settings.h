// How an XML document is read (text encoding) and written (form and layout).
#pragma once

#include <cstdint>

// Where the text parser starts for turning bytes into text; a declaration's "encoding" changes
// it for everything read after the declaration.
enum TVYNXMLEncodingMode : uint8_t {
  xemAnsi = 0,      // the system's ANSI code page; also what any unknown mode means
  xemUtf8 = 1,      // UTF-8, with the parser's own strict decoder
  xemCodePage = 2,  // the code page in CodePage, through the platform's conversion
};

struct TVYNXMLReadSettings {
  int32_t CodePage = 0;
  TVYNXMLEncodingMode Mode = xemAnsi;
};

enum TVYNXMLFormat : uint8_t {
  xfBinary = 0,  // the compact "SXML" form
  xfText = 1,    // any value but xfBinary writes text
};

// AttributesOnNewLines, Indent and LineBreaks shape the text form only.
struct TVYNXMLWriteSettings {
  TVYNXMLFormat Format = xfText;
  bool AttributesOnNewLines = false;
  bool Indent = true;
  bool LineBreaks = true;
};

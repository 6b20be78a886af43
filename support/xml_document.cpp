// The XML document: the one-root rule, and choosing the reader and the writer.
#include "support/xml_document.h"

#include <cstring>
#include <vector>

#include "support/memory_stream.h"
#include "support/stream.h"
#include "support/xml_binary_builder.h"
#include "support/xml_binary_reader.h"
#include "support/xml_text_builder.h"
#include "support/xml_text_parser.h"

namespace {

// The rest of a stream as one contiguous run of bytes: the memory itself of a memory stream,
// a copy otherwise.
class TRemainingBytes {
 public:
  explicit TRemainingBytes(TStream& stream) {
    const int64_t position = stream.Position();
    const int64_t size = stream.Size();
    const int64_t remaining = size > position ? size - position : 0;
    if (const auto* memory = dynamic_cast<const TCustomMemoryStream*>(&stream)) {
      bytes_ = {reinterpret_cast<const char*>(memory->Memory()) + position,
                static_cast<size_t>(remaining)};
    } else {
      copy_.resize(static_cast<size_t>(remaining));
      stream.ReadBuffer(copy_.data(), remaining);
      stream.SetPosition(position);
      bytes_ = {copy_.data(), copy_.size()};
    }
  }

  std::string_view Bytes() const { return bytes_; }

 private:
  std::vector<char> copy_;
  std::string_view bytes_;
};

}  // namespace

TVYNXMLDocument::TVYNXMLDocument(TStream& stream) {
  LoadFromStream(stream);
}

void TVYNXMLDocument::CheckRoomForChild() const {
  if (one_root_ && Count() > 0) throw EVYNXMLDocument();
}

TVYNXMLNode* TVYNXMLDocument::Add(std::string_view name) {
  CheckRoomForChild();
  return TVYNXMLNode::Add(name);
}

void TVYNXMLDocument::Assign(const TVYNXMLNode& source) {
  if (one_root_ && source.Count() > 1) throw EVYNXMLDocument();
  TVYNXMLNode::Assign(source);
}

// Clear frees only children; a load must not keep a value that top-level text or CDATA gave
// the document in an earlier load.
void TVYNXMLDocument::Reset() {
  Clear();
  NodeName.clear();
  NodeValue.clear();
  Attributes.Clear();
  text_problem_.reset();
}

void TVYNXMLDocument::LoadFromStream(TStream& stream, const TVYNXMLReadSettings& settings) {
  Reset();
  const int64_t start = stream.Position();
  if (stream.Size() - start < 5) return;

  char magic[4];
  stream.ReadBuffer(magic, sizeof magic);
  const bool sxml = std::memcmp(magic, "SXML", 4) == 0;
  const bool bxml = std::memcmp(magic, "BXML", 4) == 0;
  if (!sxml && !bxml) stream.SetPosition(start);

  const TRemainingBytes input(stream);
  const int64_t body_start = stream.Position();
  if (sxml) {
    stream.SetPosition(body_start +
                       static_cast<int64_t>(TVYNBinaryXMLReader::ReadSXML(input.Bytes(), *this)));
  } else if (bxml) {
    stream.SetPosition(body_start +
                       static_cast<int64_t>(TVYNBinaryXMLReader::ReadBXML(input.Bytes(), *this)));
  } else {
    stream.SetPosition(body_start + static_cast<int64_t>(input.Bytes().size()));
    TVYNTextXMLParser parser(input.Bytes(), settings);
    parser.Parse(*this);
    text_problem_ = parser.Problem();
  }
}

void TVYNXMLDocument::LoadFromString(std::string_view bytes) {
  Reset();
  TVYNTextXMLParser parser(bytes, {.CodePage = 0, .Mode = xemUtf8});
  parser.Parse(*this);
  text_problem_ = parser.Problem();
}

void TVYNXMLDocument::SaveToStream(TStream& stream, const TVYNXMLWriteSettings& settings) const {
  if (settings.Format == xfBinary) {
    TVYNBinaryXMLBuilder(stream).Build(*this);
  } else {
    TVYNTextXMLBuilder(stream, settings).Build(*this);
  }
}

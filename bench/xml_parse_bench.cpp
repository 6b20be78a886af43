// Throughput of the text XML parser on about 5 MB of generated XML (elements, attributes, text,
// references), beside a plain pass that only splits the same buffer at '<' and '>', measured in
// the same run; and of the "SXML" reader on the same tree. Prints figures; asserts nothing.
#include <cstdio>
#include <string>
#include <string_view>

#include "bench/bench_timer.h"
#include "support/memory_stream.h"
#include "support/xml_document.h"

namespace {

std::string GenerateXml(size_t target_size) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Install version=\"5\">\r\n";
  for (int group = 0; xml.size() < target_size; ++group) {
    const std::string number = std::to_string(group);
    xml += "\t<Group name=\"g" + number + "\" dest=\"$DEST\\sub" + number + "\\\">\r\n";
    for (int file = 0; file < 8; ++file) {
      xml += "\t\t<File name=\"file" + number + "_" + std::to_string(file) + ".dll\" size=\"" +
             std::to_string(group * 131 + file) + "\" flags='a&amp;b'/>\r\n";
    }
    xml += "\t\t<Text lang=\"en\">Some text &amp; more &#65; and &lt;tags&gt; in group " + number +
           "</Text>\r\n";
    xml += "\t\t<!-- a comment -->\r\n\t\t<Note xml:space=\"preserve\">  kept as is  </Note>\r\n";
    xml += "\t\t<Text lang=\"ru\">\xD0\x94\xD0\xB0 \xE2\x82\xAC</Text>\r\n\t</Group>\r\n";
  }
  return xml + "</Install>\r\n";
}

// The least any parser must do: find every '<' and '>'.
size_t SplitAtAngleBrackets(std::string_view text) {
  size_t pieces = 0;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<' || text[i] == '>') {
      pieces += i > start;
      start = i + 1;
    }
  }
  return pieces;
}

}  // namespace

int main(int argc, char** argv) {
  const bool smoke = bench::IsSmokeRun(argc, argv);
  const int repetitions = smoke ? 1 : 7;
  const std::string xml = GenerateXml(smoke ? (64u << 10) : (5u << 20));

  const double baseline =
      bench::MedianSeconds(repetitions, [&] { bench::KeepAlive(SplitAtAngleBrackets(xml)); });
  const double text = bench::MedianSeconds(repetitions, [&] {
    TVYNXMLDocument document;
    document.LoadFromString(xml);
    bench::KeepAlive(document.Count());
  });

  TVYNXMLDocument document;
  document.LoadFromString(xml);
  TMemoryStream sxml;
  document.SaveToStream(sxml, {.Format = xfBinary});
  const double binary = bench::MedianSeconds(repetitions, [&] {
    TMemoryViewStream stream(sxml.Memory(), sxml.Size());
    TVYNXMLDocument reread(stream);
    bench::KeepAlive(reread.Count());
  });

  const double megabytes = static_cast<double>(xml.size()) / (1 << 20);
  const double sxml_megabytes = static_cast<double>(sxml.Size()) / (1 << 20);
  std::printf("text: %.2f MiB (SXML image: %.2f MiB), median of %d runs\n", megabytes,
              sxml_megabytes, repetitions);
  std::printf("split at '<' and '>'   %8.1f MiB/s\n", megabytes / baseline);
  std::printf("text parser            %8.1f MiB/s\n", megabytes / text);
  std::printf("SXML reader            %8.1f MiB/s of SXML, %.1f MiB/s of the same text\n",
              sxml_megabytes / binary, megabytes / binary);
  std::printf("text parser speed relative to the split: %.3fx\n", baseline / text);
  return 0;
}

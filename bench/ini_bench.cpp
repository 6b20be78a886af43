// Loading and saving a large INI file (10,000 sections, about 5 MB of UTF-16LE text) from and to
// memory, beside a plain split of the same buffer into lines in the same run. Prints figures;
// asserts nothing.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_timer.h"
#include "support/ini_file.h"
#include "support/memory_stream.h"

namespace {

// The file as the program saves it: a byte order mark, then sections of "key=value" lines.
std::vector<uint8_t> GenerateFile(int sections) {
  String text;
  for (int s = 0; s < sections; ++s) {
    text += u"[Section" + Utf8ToString(std::to_string(s)) + u"]\r\n";
    for (int k = 0; k < 7; ++k) {
      text += u"Key" + Utf8ToString(std::to_string(k)) + u"=Value of key " +
              Utf8ToString(std::to_string(k)) + u" in section " + Utf8ToString(std::to_string(s)) +
              u"\r\n";
    }
    text += u"\r\n";
  }
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  const std::vector<uint8_t> body = TEncoding::Unicode().GetBytes(text);
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

// The least any loader must do: copy the text out of the buffer and cut it into lines.
size_t SplitLines(const std::vector<uint8_t>& bytes) {
  String text((bytes.size() - 2) / 2, u'\0');
  std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
  std::vector<String> lines;
  size_t start = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == u'\r' && text[i + 1] == u'\n') {
      lines.emplace_back(text, start, i - start);
      start = i + 2;
      ++i;
    }
  }
  return lines.size();
}

}  // namespace

int main(int argc, char** argv) {
  const bool smoke = bench::IsSmokeRun(argc, argv);
  const int sections = smoke ? 100 : 10000;
  const int repetitions = smoke ? 1 : 7;

  const std::vector<uint8_t> file = GenerateFile(sections);
  const double baseline =
      bench::MedianSeconds(repetitions, [&] { bench::KeepAlive(SplitLines(file)); });
  const double load = bench::MedianSeconds(repetitions, [&] {
    TMemoryViewStream stream(file.data(), static_cast<int64_t>(file.size()));
    TVYNIniFile ini;
    ini.LoadFromStream(stream);
    bench::KeepAlive(ini.SectionCount());
  });
  TVYNIniFile loaded;
  TMemoryViewStream stream(file.data(), static_cast<int64_t>(file.size()));
  loaded.LoadFromStream(stream);
  const double save = bench::MedianSeconds(repetitions, [&] {
    TMemoryStream saved;
    loaded.SaveToStream(saved);
    bench::KeepAlive(saved.Size());
  });
  TMemoryStream check;
  loaded.SaveToStream(check);
  const bool same = check.Bytes() == file;

  const double megabytes = static_cast<double>(file.size()) / (1 << 20);
  std::printf("file: %.1f MiB, %d sections, median of %d runs\n", megabytes, sections, repetitions);
  std::printf("split into lines (baseline) %8.1f MiB/s\n", megabytes / baseline);
  std::printf("INI load                    %8.1f MiB/s\n", megabytes / load);
  std::printf("INI save                    %8.1f MiB/s\n", megabytes / save);
  std::printf("load time relative to the baseline: %.2fx\n", load / baseline);
  std::printf("save time relative to the baseline: %.2fx\n", save / baseline);
  std::printf("saved file equals the generated one: %s\n", same ? "yes" : "NO");
  return same ? 0 : 1;
}

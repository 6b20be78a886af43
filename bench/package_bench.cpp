// Opening and packing a setup package of ~40 MB of mixed content (random bytes, structured
// binary, text), beside liblzma and xz doing the bare LZMA work on the same bytes in the same
// run. Prints figures; asserts nothing.
#include <lzma.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_memory.h"
#include "bench/bench_timer.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_reader.h"
#include "support/crypto.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/setupkit.h"

namespace {

struct GeneratedFile {
  String Name;
  std::vector<uint8_t> Content;
};

// A third each of incompressible bytes, structured records and text, in files of varied size.
std::vector<GeneratedFile> GenerateProduct(size_t total_size) {
  std::mt19937_64 random(2024);
  std::vector<GeneratedFile> files;
  size_t produced = 0;
  static const char* const Words[] = {"player", "playlist", "volume", "equalizer", "track",
                                      "album",  "artist",   "skin",   "plugin",    "settings"};
  for (int index = 0; produced < total_size; ++index) {
    const size_t size = std::min<size_t>(total_size - produced, 4096 + random() % (96 * 1024));
    GeneratedFile file;
    file.Content.resize(size);
    switch (index % 3) {
      case 0:
        for (auto& byte : file.Content) byte = static_cast<uint8_t>(random());
        file.Name = u"bin\\random" + Utf8ToString(std::to_string(index)) + u".dat";
        break;
      case 1:
        for (size_t i = 0; i < size; ++i) {
          const size_t record = i / 16;
          file.Content[i] = static_cast<uint8_t>(i % 16 < 4 ? record >> (8 * (i % 4))
                                                            : (i % 16) * 7 + record % 3);
        }
        file.Name = u"data\\table" + Utf8ToString(std::to_string(index)) + u".bin";
        break;
      default: {
        std::string text;
        while (text.size() < size) {
          text += Words[random() % 10];
          text += random() % 8 ? " " : "\r\n";
        }
        std::memcpy(file.Content.data(), text.data(), size);
        file.Name = u"doc\\text" + Utf8ToString(std::to_string(index)) + u".txt";
      }
    }
    produced += size;
    files.push_back(std::move(file));
  }
  return files;
}

// The body of a package, deciphered: the bare LZMA stream liblzma can decode.
std::vector<uint8_t> PlainBody(const std::vector<uint8_t>& package) {
  std::vector<uint8_t> body(package.begin() + SetupPackageHeaderSize, package.end());
  TRC4State cipher;
  TRC4::Initialize(cipher, MakePackageKey());
  TRC4::Crypt(cipher, body.data(), body.data(), static_cast<int64_t>(body.size()));
  return body;
}

void DecodeWithLiblzma(const std::vector<uint8_t>& body, std::vector<uint8_t>& output) {
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_properties_decode(&filters[0], nullptr, body.data(), 5) != LZMA_OK ||
      lzma_raw_decoder(&stream, filters) != LZMA_OK) {
    std::fprintf(stderr, "liblzma refused the stream\n");
    std::exit(1);
  }
  stream.next_in = body.data() + 5;
  stream.avail_in = body.size() - 5;
  stream.next_out = output.data();
  stream.avail_out = output.size();
  while (stream.avail_out > 0 && lzma_code(&stream, LZMA_RUN) == LZMA_OK) {
  }
  lzma_end(&stream);
  free(filters[0].options);
}

class SilentConsole : public TToolConsole {
 public:
  void Out(StringView) override {}
  void Error(StringView text) override { std::fprintf(stderr, "%s", StringToUtf8(text).c_str()); }
  void Progress(StringView) override {}
  void EndProgress() override {}
};

}  // namespace

int main(int argc, char** argv) {
  const bool smoke = bench::IsSmokeRun(argc, argv);
  const size_t payload_size = smoke ? (1u << 20) : (40u << 20);
  const int repetitions = smoke ? 1 : 7;
  const std::vector<GeneratedFile> files = GenerateProduct(payload_size);

  TSetupPackageBuilder builder;
  for (const GeneratedFile& file : files) {
    TMemoryStream content(file.Content);
    builder.AddFile(content, file.Name);
  }
  TMemoryStream package_stream;
  builder.Commit(package_stream, 6);
  const std::vector<uint8_t> package = package_stream.TakeBytes();
  const std::vector<uint8_t> body = PlainBody(package);
  uint32_t decoded_size = 0;
  std::memcpy(&decoded_size, package.data() + 8, 4);

  std::vector<uint8_t> decoded(decoded_size);
  const double liblzma = bench::MedianSeconds(repetitions, [&] {
    DecodeWithLiblzma(body, decoded);
    bench::KeepAlive(decoded[decoded.size() - 1]);
  });
  const double open = bench::MedianSeconds(repetitions, [&] {
    TMemoryViewStream source(package.data(), static_cast<int64_t>(package.size()));
    TSetupPackageReader reader(source);
    bench::KeepAlive(reader.FileTable().Count());
  });
  const int64_t peak = bench::PeakMemoryGrowth([&] {
    TMemoryViewStream source(package.data(), static_cast<int64_t>(package.size()));
    TSetupPackageReader reader(source);
    bench::KeepAlive(reader.FileTable().Count());
  });

  // Packing: the same files on disk, packed by the tool and, as the baseline, their bytes
  // compressed by xz at the same preset.
  const std::filesystem::path work =
      std::filesystem::temp_directory_path() / ("uinstaller-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work / "product");
  {
    // xz gets the files' bytes in the order the tool packs them (ASCII letters folded, then the
    // name), so that both compress the same sequence.
    std::vector<const GeneratedFile*> packed_order;
    for (const GeneratedFile& file : files) packed_order.push_back(&file);
    const auto sort_key = [](const String& name) {
      String key = name;
      for (char16_t& c : key) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
      return std::make_pair(key, name);
    };
    std::sort(packed_order.begin(), packed_order.end(),
              [&](const GeneratedFile* a, const GeneratedFile* b) {
                return sort_key(a->Name) < sort_key(b->Name);
              });
    std::ofstream all(work / "payload.bin", std::ios::binary);
    for (const GeneratedFile* sorted : packed_order) {
      all.write(reinterpret_cast<const char*>(sorted->Content.data()),
                static_cast<std::streamsize>(sorted->Content.size()));
    }
    for (const GeneratedFile& file : files) {
      String relative = file.Name;
      std::replace(relative.begin(), relative.end(), u'\\', u'/');
      const std::filesystem::path path = work / "product" / ToNativePath(relative);
      std::filesystem::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary)
          .write(reinterpret_cast<const char*>(file.Content.data()),
                 static_cast<std::streamsize>(file.Content.size()));
    }
  }
  SilentConsole console;
  const String product = FromNativePath(work / "product");
  const String output = FromNativePath(work / "product.pkg");
  const double pack = bench::MedianSeconds(repetitions, [&] {
    RunSetupKit({u"pack", product, u"-o", output, u"--level", u"6"}, console);
  });
  const std::string xz_command = "xz --format=raw --lzma1=preset=6 -c '" +
                                 (work / "payload.bin").string() + "' > '" +
                                 (work / "payload.lzma").string() + "'";
  const double xz = bench::MedianSeconds(repetitions, [&] {
    if (std::system(xz_command.c_str()) != 0) std::fprintf(stderr, "xz failed\n");
  });
  std::filesystem::remove_all(work);

  const double megabytes = static_cast<double>(decoded_size) / (1 << 20);
  std::printf("payload: %.1f MiB in %zu files, package %.1f MiB, median of %d runs\n", megabytes,
              files.size(), static_cast<double>(package.size()) / (1 << 20), repetitions);
  std::printf("open (decipher, decode, check, table)  %7.3f s\n", open);
  std::printf("liblzma raw decode into memory         %7.3f s\n", liblzma);
  std::printf("open relative to liblzma: %.2fx (aim: at most 1.15x)\n", open / liblzma);
  std::printf("peak memory while opening: %.1f MiB = %.2fx the payload (aim: at most 1.25x)\n",
              static_cast<double>(peak) / (1 << 20), static_cast<double>(peak) / decoded_size);
  std::printf("setupkit pack, level 6                 %7.3f s\n", pack);
  std::printf("xz --format=raw --lzma1=preset=6       %7.3f s\n", xz);
  std::printf("pack relative to xz: %.2fx (aim: at most 1.10x)\n", pack / xz);
  return 0;
}

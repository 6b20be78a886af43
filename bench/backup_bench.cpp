// Backing up an installation: TZipWriter archiving a tree of ~40 MB in ~1,500 files of mixed
// compressibility, beside Info-ZIP's zip at the same Deflate level on the same tree in the same
// run. Prints figures; asserts nothing.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_timer.h"
#include "support/zip_writer.h"

namespace {

struct TreeFile {
  std::string RelativePath;  // with "/"
  uint64_t Size;
};

// An installation-like tree: a third each of incompressible bytes (audio, images), structured
// binary (libraries, databases) and text (settings, skins' scripts, playlists), in a few dozen
// folders, with some empty files. Sizes vary from nothing to about twice the average.
std::vector<TreeFile> GenerateTree(const std::filesystem::path& root, int file_count,
                                   uint64_t total_size) {
  std::mt19937_64 random(2024);
  static const char* const Words[] = {"player", "playlist", "volume", "equalizer", "track",
                                      "album",  "artist",   "skin",   "plugin",    "settings"};
  static const char* const Folders[] = {"Program",
                                        "Program/Plugins",
                                        "Program/Plugins/DSP",
                                        "Program/Skins/Classic",
                                        "Program/Skins/Modern",
                                        "Program/System/Data",
                                        "Program/Langs",
                                        "Profiles/user/Playlists",
                                        "Profiles/user",
                                        "Program/Icons"};
  const uint64_t average = total_size / static_cast<uint64_t>(file_count);
  std::vector<TreeFile> files;
  std::vector<char> content;
  for (int index = 0; index < file_count; ++index) {
    const uint64_t size = index % 50 == 0 ? 0 : random() % (2 * average);
    content.resize(size);
    switch (index % 3) {
      case 0:
        for (auto& byte : content) byte = static_cast<char>(random());
        break;
      case 1:
        for (uint64_t i = 0; i < size; ++i) {
          const uint64_t record = i / 16;
          content[i] =
              static_cast<char>(i % 16 < 4 ? record >> (8 * (i % 4)) : (i % 16) * 7 + record % 3);
        }
        break;
      default: {
        std::string text;
        while (text.size() < size) {
          text += Words[random() % 10];
          text += random() % 8 ? " " : "\r\n";
        }
        std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size), content.begin());
      }
    }
    TreeFile file{std::string(Folders[index % 10]) + "/file" + std::to_string(index) + ".dat",
                  size};
    const std::filesystem::path path = root / file.RelativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(size));
    files.push_back(std::move(file));
  }
  return files;
}

String ArchiveName(const std::string& relative_path) {
  String name = Utf8ToString(relative_path);
  for (char16_t& c : name) {
    if (c == u'/') c = u'\\';
  }
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  const bool smoke = bench::IsSmokeRun(argc, argv);
  const int file_count = smoke ? 40 : 1500;
  const uint64_t total_size = smoke ? (320u << 10) : (40u << 20);
  const int repetitions = smoke ? 1 : 5;

  const std::filesystem::path work = std::filesystem::temp_directory_path() /
                                     ("uinstaller-backup-bench-" + std::to_string(getpid()));
  const std::filesystem::path tree = work / "tree";
  const std::vector<TreeFile> files = GenerateTree(tree, file_count, total_size);
  uint64_t payload = 0;
  for (const TreeFile& file : files) payload += file.Size;

  // The writer takes the files one by one, as the backup action hands them over.
  const std::filesystem::path writer_archive = work / "writer.zip";
  const double writer = bench::MedianSeconds(repetitions, [&] {
    TZipWriter zip(writer_archive.u16string());
    for (const TreeFile& file : files) {
      zip.AddFile((tree / file.RelativePath).u16string(), ArchiveName(file.RelativePath));
    }
    zip.Close();
  });
  const uint64_t writer_size = std::filesystem::file_size(writer_archive);

  const std::filesystem::path zip_archive = work / "zip.zip";
  const bool have_zip = std::system("command -v zip >/dev/null 2>&1") == 0;
  double info_zip = 0;
  uint64_t info_zip_size = 0;
  if (have_zip) {
    const std::string command =
        "cd '" + tree.string() + "' && zip -6 -r -q '" + zip_archive.string() + "' .";
    info_zip = bench::MedianSeconds(repetitions, [&] {
      // An existing archive would be updated rather than written anew.
      std::filesystem::remove(zip_archive);
      if (std::system(command.c_str()) != 0) std::fprintf(stderr, "zip failed\n");
    });
    info_zip_size = std::filesystem::file_size(zip_archive);
  }
  std::filesystem::remove_all(work);

  const double mebibyte = 1 << 20;
  std::printf("tree: %.1f MiB in %zu files, median of %d runs\n", payload / mebibyte, files.size(),
              repetitions);
  std::printf("TZipWriter, Deflate level 6      %7.3f s, archive %.1f MiB\n", writer,
              writer_size / mebibyte);
  if (!have_zip) {
    std::printf("zip is not installed (scripts/bootstrap.sh installs it): no baseline\n");
    return 0;
  }
  std::printf("zip -6 -r -q                     %7.3f s, archive %.1f MiB\n", info_zip,
              info_zip_size / mebibyte);
  std::printf("writer relative to zip: time %.2fx (aim: at most 1.20x), size %.3fx\n",
              writer / info_zip, static_cast<double>(writer_size) / info_zip_size);
  return 0;
}

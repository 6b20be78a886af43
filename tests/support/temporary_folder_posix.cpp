// Temporary folders in the host double: drive C: is a Linux temporary folder of this process.
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "platform/host_double.h"
#include "tests/support/temporary_folder.h"

namespace {

// The process's drive C:, made once and removed when the process ends.
class HostDriveC {
 public:
  HostDriveC() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/uinstaller-c-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    platform::HostDouble::SetDriveRoot(u'C', root_.string());
  }
  ~HostDriveC() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_;
};

}  // namespace

TemporaryFolder::TemporaryFolder() {
  static HostDriveC drive_c;
  static std::atomic<int> counter{0};
  const std::string name = "test-" + std::to_string(counter++);
  native_path_ = drive_c.Root() / name;
  std::filesystem::create_directories(native_path_);
  path_ = u"C:\\" + Utf8ToString(name) + u"\\";
}

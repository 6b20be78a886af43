// The maker's "build" command.
#include "tools/setupkit/build_command.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <system_error>

#include "package/installer_script.h"
#include "platform/process.h"
#include "support/memory_stream.h"
#include "support/names.h"
#include "tools/setupkit/executable_mark.h"
#include "tools/setupkit/folder_package.h"
#include "tools/setupkit/icon_file.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/pe_resources.h"
#include "tools/setupkit/program_resources.h"
#include "tools/setupkit/version_resource.h"

namespace {

// Without these the installer stops before it shows anything, so a setup without them is
// never worth building.
constexpr const char16_t* RequiredFiles[] = {u"Install.xml", u"English.lng"};

bool Holds(const std::vector<TFolderFile>& files, StringView name) {
  return std::any_of(files.begin(), files.end(),
                     [&](const TFolderFile& file) { return SameName(file.Name, name); });
}

const TFolderFile* Find(const std::vector<TFolderFile>& files, StringView name) {
  const auto found = std::find_if(files.begin(), files.end(), [&](const TFolderFile& file) {
    return SameName(file.Name, name);
  });
  return found == files.end() ? nullptr : &*found;
}

// The script as the installer will read it: from the product package first, then the setup
// package. Nothing when it cannot be read; lint, which build runs first, says why.
std::unique_ptr<TInstallerScript> ReadScript(const std::vector<TFolderFile>& setup_files,
                                             const std::vector<TFolderFile>& product_files) {
  const TFolderFile* file = Find(product_files, u"Install.xml");
  if (file == nullptr) file = Find(setup_files, u"Install.xml");
  if (file == nullptr) return nullptr;
  try {
    TMemoryStream stream;
    stream.LoadFromFile(FromNativePath(file->Path));
    auto script = std::make_unique<TInstallerScript>();
    script->Load(stream);
    return script;
  } catch (const Exception&) {
    return nullptr;
  }
}

// The setup program when none is given: the Windows build puts setup.exe beside setupkit.exe;
// the Linux setupkit sits in its own build tree (build/host) beside the Windows one
// (build/win64), which is where its setup.exe is.
String DefaultProgram() {
  const std::filesystem::path tool_folder =
      ToNativePath(platform::GetProgramFileName()).parent_path();
  const std::filesystem::path candidates[] = {
      tool_folder / "setup.exe", (tool_folder / ".." / "win64" / "setup.exe").lexically_normal()};
  std::error_code error;
  for (const std::filesystem::path& candidate : candidates) {
    if (std::filesystem::is_regular_file(candidate, error)) return FromNativePath(candidate);
  }
  throw Exception(u"no setup program given, and none was built beside setupkit (neither \"" +
                  FromNativePath(candidates[0]) + u"\" nor \"" + FromNativePath(candidates[1]) +
                  u"\" exists); build the Windows setup program (build/win64/setup.exe) or give "
                  u"it with --program <setup.exe>");
}

// The image module's reasons read as the rest of a sentence about the file.
Exception AboutProgram(StringView program, const EPeImageError& error) {
  return Exception(u"\"" + String(program) + u"\" " + error.Message());
}

}  // namespace

int BuildSetup(const TBuildOptions& options, TToolConsole& console) {
  const std::vector<TFolderFile> setup_files = ListFolderFiles(options.SetupFolder);
  const std::vector<TFolderFile> product_files = ListFolderFiles(options.ProductFolder);
  for (const char16_t* required : RequiredFiles) {
    if (!Holds(setup_files, required) && !Holds(product_files, required)) {
      throw Exception(u"neither \"" + options.SetupFolder + u"\" nor \"" + options.ProductFolder +
                      u"\" holds \"" + required + u"\"; the installer cannot start without it");
    }
  }

  const String program = options.Program.empty() ? DefaultProgram() : options.Program;
  TMemoryStream program_image;
  program_image.LoadFromFile(program);
  try {
    CheckProgramImage(program_image.Bytes());
  } catch (const EPeImageError& error) {
    throw AboutProgram(program, error);
  }

  TProgramBranding branding;
  TMemoryStream icon_file;  // the icon images point into it until the program is written
  if (!options.Icon.empty()) {
    icon_file.LoadFromFile(options.Icon);
    try {
      branding.Icons = ReadIconFile(icon_file.Bytes());
    } catch (const EIconFileError& error) {
      throw Exception(u"\"" + options.Icon + u"\" " + error.Message());
    }
  }
  if (const auto script = ReadScript(setup_files, product_files)) {
    branding.Version = ProductVersionInfo(*script, 0);
  } else {
    console.Error(
        u"build: warning: Install.xml cannot be read, so the program's version information is "
        u"left as it was; lint says what is wrong with the script\n");
  }

  TMemoryStream setup_package, product_package;
  const int64_t setup_bytes = PackFolderFiles(setup_files, setup_package, options.Level, console);
  const int64_t product_bytes =
      PackFolderFiles(product_files, product_package, options.Level, console);
  console.EndProgress();
  // A program's file offsets are 32-bit numbers.
  if (program_image.Size() + setup_package.Size() + product_package.Size() >=
      std::numeric_limits<uint32_t>::max()) {
    throw Exception(u"the packages are too large for a program, which must stay below 4 GB");
  }

  // Written beside the target and renamed at the end, as "pack" does.
  const std::filesystem::path target = ToNativePath(options.Output);
  std::filesystem::path partial = target;
  partial += ".partial";
  std::error_code error;
  if (target.has_parent_path()) {
    std::filesystem::create_directories(target.parent_path(), error);
    if (error) throw Exception(u"cannot create the folder of \"" + options.Output + u"\"");
  }
  try {
    WriteProgramWithDataResources(
        program, FromNativePath(partial),
        {{u"SETUP", setup_package.TakeBytes()}, {u"PRODUCT", product_package.TakeBytes()}},
        branding);
  } catch (const EPeImageError& image_error) {
    std::filesystem::remove(partial, error);
    throw AboutProgram(program, image_error);
  } catch (...) {
    std::filesystem::remove(partial, error);
    throw;
  }
  std::filesystem::rename(partial, target, error);
  if (error) {
    std::filesystem::remove(partial, error);
    throw Exception(u"cannot write \"" + options.Output + u"\"");
  }
  MarkExecutable(options.Output);
  console.Out(u"built " + options.Output + u" (" +
              FormatMegabytes(static_cast<int64_t>(std::filesystem::file_size(target, error))) +
              u") from " + FormatNumber(static_cast<int64_t>(setup_files.size())) +
              u" setup files (" + FormatMegabytes(setup_bytes) + u") and " +
              FormatNumber(static_cast<int64_t>(product_files.size())) + u" product files (" +
              FormatMegabytes(product_bytes) + u")\n");
  return 0;
}

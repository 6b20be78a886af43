// TVYNLocalization and the module-wide language state.
#include "support/localization.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/file_name.h"
#include "platform/process.h"
#include "support/memory_stream.h"
#include "support/names.h"

namespace {

std::mutex state_mutex;
String langs_folder_override;
std::function<void()> forms_notifier;
std::atomic<unsigned> default_byte_text_code_page{0};

String ReplaceLineBreakEscapes(StringView text) {
  String result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
      result += u"\r\n";
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

}  // namespace

TVYNLocalization::TVYNLocalization(StringView file_name) {
  // The base constructor cannot reach this class's LoadFromFile, so the load happens here.
  if (!file_name.empty()) LoadFromFile(file_name);
}

void TVYNLocalization::LoadFromFile(StringView file_name) {
  TVYNIniFile::LoadFromFile(LangsFolder() + String(file_name));
}

void TVYNLocalization::LoadFromStream(TStream& stream) {
  TVYNIniFile::LoadFromStream(stream);
  const int32_t code_page = ReadInteger(u"File", u"ANSICP", 0);
  // A negative number names no code page; the system's is the sensible stand-in.
  SetDefaultByteTextCodePage(code_page > 0 ? static_cast<unsigned>(code_page) : 0);
  LangChanged();
}

bool TVYNLocalization::ReadValue(StringView section, StringView key, String& value) const {
  if (!TVYNIniFile::ReadValue(section, key, value)) return false;
  if (value.find(u"\\n") != String::npos) value = ReplaceLineBreakEscapes(value);
  return true;
}

void TVYNLocalization::LangChanged() {
  const String name = platform::ExtractFileName(FileName());
  if (!SameName(name, u"English.lng") && !SameName(name, u"Russian.lng")) {
    MergeFromFile(LangsFolder() + u"English.lng", false);
  }
  TellListeners<IVYNLocalizationListener2>(
      [](IVYNLocalizationListener2& listener) { listener.OnLangReloadTexts(); });
  TellListeners<IVYNLocalizationListener3>(
      [](IVYNLocalizationListener3& listener) { listener.OnLangBeforeForms(); });
  std::function<void()> notifier;
  {
    std::lock_guard lock(state_mutex);
    notifier = forms_notifier;
  }
  if (notifier) notifier();
  TellListeners<IVYNLocalizationListener>(
      [](IVYNLocalizationListener& listener) { listener.OnLangChanged(); });
}

void TVYNLocalization::AddListener(IVYNLocalizationListener* listener) {
  std::lock_guard lock(listeners_mutex_);
  if (listener == nullptr ||
      std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
    return;
  }
  listeners_.push_back(listener);
}

void TVYNLocalization::RemoveListener(IVYNLocalizationListener* listener) {
  std::lock_guard lock(listeners_mutex_);
  const auto found = std::find(listeners_.begin(), listeners_.end(), listener);
  if (found == listeners_.end()) return;
  // A pass walks by index; a gap keeps the indexes of the others where the pass expects them.
  if (passes_ > 0) {
    *found = nullptr;
  } else {
    listeners_.erase(found);
  }
}

template <class Listener, class Call>
void TVYNLocalization::TellListeners(Call call) {
  std::lock_guard lock(listeners_mutex_);
  struct PassScope {
    TVYNLocalization& owner;
    explicit PassScope(TVYNLocalization& localization) : owner(localization) { ++owner.passes_; }
    ~PassScope() {
      if (--owner.passes_ == 0) std::erase(owner.listeners_, nullptr);
    }
  } scope(*this);
  // Listeners added during the pass are told too, since the size is read each time.
  for (size_t i = 0; i < listeners_.size(); ++i) {
    if (auto* listener = dynamic_cast<Listener*>(listeners_[i])) call(*listener);
  }
}

bool LangGetInfo(const TVYNIniFile& language, TVYNLocalizationInfo& info, TVYNIcon* icon) {
  info.Author = language.ReadString(u"File", u"Author", u"");
  info.LangId = language.ReadInteger(u"File", u"LangId", 0);
  info.Name = language.ReadString(u"File", u"Name", u"");
  info.VersionId = language.ReadInteger(u"File", u"VersionId", 0);
  if (icon != nullptr) {
    TMemoryStream bytes;
    if (!language.ReadStream(u"File", u"Icon", bytes) || !icon->LoadFromStream(bytes)) {
      icon->Clear();
    }
  }
  return true;
}

String LangsFolder() {
  {
    std::lock_guard lock(state_mutex);
    if (!langs_folder_override.empty()) return langs_folder_override;
  }
  const String program = platform::GetProgramFileName();
  return platform::ExtractFilePath(program) + u"Langs\\";
}

void SetLangsFolder(StringView folder) {
  std::lock_guard lock(state_mutex);
  langs_folder_override = String(folder);
}

unsigned DefaultByteTextCodePage() {
  return default_byte_text_code_page;
}

void SetDefaultByteTextCodePage(unsigned code_page) {
  default_byte_text_code_page = code_page;
}

void SetLangFormsNotifier(std::function<void()> notifier) {
  std::lock_guard lock(state_mutex);
  forms_notifier = std::move(notifier);
}

TVYNLocalization& Lang() {
  static TVYNLocalization language;
  return language;
}

String LangGet(StringView section, StringView key, StringView default_value) {
  return Lang().ReadString(section, key, default_value);
}

void LangApplyTo(StringView section, TVYNStringList& strings) {
  const TVYNLocalization& language = Lang();
  strings.BeginUpdate();
  for (int i = 0; i < strings.Count(); ++i) {
    const String key = u"i[" + Utf8ToString(std::to_string(i)) + u"]";
    String text;
    if (language.ReadValue(section, key, text) && text != strings.Items(i)) strings.Put(i, text);
  }
  strings.EndUpdate();
}

String LangFileName() {
  return platform::ExtractFileName(Lang().FileName());
}

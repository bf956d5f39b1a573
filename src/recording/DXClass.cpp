#include "recording/DXClass.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "base/Lock.h"
#include "ui/Dialogs.h"

namespace recording {

namespace {

// The libraries loaded through LoadLibraryProc, in loading order; unloaded in that order
// when the program ends, after the capture device list is gone.
class LibraryCache {
 public:
  ~LibraryCache() {
    for (const auto& [name, module] : libraries_) FreeLibrary(module);
  }
  HMODULE Find(const std::string& lowerName) const {
    for (const auto& [name, module] : libraries_)
      if (name == lowerName) return module;
    return nullptr;
  }
  void Add(const std::string& lowerName, HMODULE module) { libraries_.emplace_back(lowerName, module); }
  int Count() const { return int(libraries_.size()); }

 private:
  std::vector<std::pair<std::string, HMODULE>> libraries_;
};

LibraryCache& Cache() {
  static LibraryCache cache;
  return cache;
}

// Holds the device list. Made after the cache, so it is freed before the libraries go.
struct DriverList {
  std::unique_ptr<TDirectXDrivers> list;
};

DriverList& Drivers() {
  Cache();
  static DriverList drivers;
  return drivers;
}

// What one enumeration collects: the device list, or the failure of adding to it.
struct Enumeration {
  const CaptureDeviceFound* found;
  std::exception_ptr failure;
};

BOOL CALLBACK DeviceFound(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context) {
  auto* e = static_cast<Enumeration*>(context);
  // An exception must not pass through DirectSound's frames: it ends the enumeration and
  // is raised again once DirectSound has returned.
  try {
    const GUID* id = guid == nullptr || IsBadReadPtr(guid, sizeof(GUID)) ? nullptr : guid;
    (*e->found)(id, description ? description : "", module ? module : "");
    return TRUE;
  } catch (...) {
    e->failure = std::current_exception();
    return FALSE;
  }
}

template <typename Fn>
Fn DirectSoundEntry(const char* function) {
  try {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(LoadLibraryProc("DSound.dll", function)));
  } catch (const std::exception&) {
    throw EDirectXError(kDirectXMissing);
  }
}

}  // namespace

FARPROC LoadLibraryProc(const std::string& library, const std::string& function) {
  // The start's capture prefetch loads DirectSound beside the window's thread.
  static base::Mutex mutex;
  std::lock_guard lock(mutex);
  std::string lower = library;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  HMODULE module = Cache().Find(lower);
  if (!module) {
    // A system library by its name alone is taken from the system folder, never from the
    // program's own (a DSound.dll that a download left beside it) or the current one.
    const bool bareName = library.find_first_of("\\/:") == std::string::npos;
    const std::string folder = bareName ? ui::SystemFolder() : std::string();
    if (bareName && folder.empty()) throw std::runtime_error(library + " not loaded");
    module = LoadLibraryA((bareName ? folder + "\\" + library : library).c_str());
    if (!module) throw std::runtime_error(library + " not loaded");
    Cache().Add(lower, module);
  }
  FARPROC proc = GetProcAddress(module, function.c_str());
  if (!proc) throw std::runtime_error(library + " not loaded");
  return proc;
}

int LoadedLibraryCount() {
  return Cache().Count();
}

HRESULT DXDirectSoundCaptureCreate(const GUID* device, IDirectSoundCapture** capture, IUnknown* outer) {
  using Create = HRESULT(WINAPI*)(const GUID*, IDirectSoundCapture**, IUnknown*);
  if (capture) *capture = nullptr;
  return DirectSoundEntry<Create>("DirectSoundCaptureCreate")(device, capture, outer);
}

HRESULT DXDirectSoundCaptureEnumerate(LPDSENUMCALLBACKA callback, void* context) {
  using Enumerate = HRESULT(WINAPI*)(LPDSENUMCALLBACKA, void*);
  return DirectSoundEntry<Enumerate>("DirectSoundCaptureEnumerateA")(callback, context);
}

TDirectXDriver& TDirectXDrivers::Add() {
  items_.push_back(std::make_unique<TDirectXDriver>());
  return *items_.back();
}

void EnumerateCaptureDevices(const CaptureDeviceFound& found) {
  Enumeration e{&found, nullptr};
  // A failing result code is not an error: what was reported stands.
  DXDirectSoundCaptureEnumerate(&DeviceFound, &e);
  if (e.failure) std::rethrow_exception(e.failure);
}

TDirectXDrivers& CaptureDrivers() {
  DriverList& drivers = Drivers();
  if (!drivers.list) {
    auto list = std::make_unique<TDirectXDrivers>();
    EnumerateCaptureDevices([&list](const GUID* guid, const std::string& description, const std::string& module) {
      TDirectXDriver& d = list->Add();
      if (guid) {
        d.GuidData = *guid;
        d.Guid = &d.GuidData;
      }
      d.Description = description;
      d.Module = module;
    });
    drivers.list = std::move(list);
  }
  return *drivers.list;
}

}  // namespace recording

// DirectSound capture reached at run time: a loader for functions of system libraries
// with its cache of loaded libraries, the two DirectSound capture entry points built on
// it, and the list of capture devices. The program has no build-time link to
// DirectSound, so it starts (and plays stations) on a machine without it.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <dsound.h>  // after mmsystem.h, whose wave format types it uses

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace recording {

// DirectSound or one of its entry points is missing.
class EDirectXError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kDirectXMissing = "Necessary since DirectX 5";

// The address of function in library, which is loaded on first use and kept loaded
// (one cache entry per lower-cased name); a name without a folder is the system folder's. Raises "<library> not loaded" when either is
// missing.
FARPROC LoadLibraryProc(const std::string& library, const std::string& function);

// The program's entries to DirectSoundCaptureCreate and DirectSoundCaptureEnumerateA of
// DSound.dll; a missing library or entry point raises EDirectXError. The system's result
// code is returned unchanged.
HRESULT DXDirectSoundCaptureCreate(const GUID* device, IDirectSoundCapture** capture, IUnknown* outer);
HRESULT DXDirectSoundCaptureEnumerate(LPDSENUMCALLBACKA callback, void* context);

// One capture device as the system reports it.
struct TDirectXDriver {
  GUID* Guid = nullptr;  // nullptr for the primary device, else &GuidData
  GUID GuidData{};
  std::string Description;
  std::string Module;
};

class TDirectXDrivers {
 public:
  int Count() const { return int(items_.size()); }
  const TDirectXDriver& operator[](int index) const { return *items_.at(std::size_t(index)); }
  TDirectXDriver& Add();

 private:
  std::vector<std::unique_ptr<TDirectXDriver>> items_;
};

// Called for each capture device that DirectSound reports: its id (nullptr for the
// primary device), description and module.
using CaptureDeviceFound = std::function<void(const GUID*, const std::string&, const std::string&)>;
// Asks DirectSound for its capture devices. An exception thrown by found ends the
// enumeration and is raised again once DirectSound has returned: it never passes through
// the system's frames.
void EnumerateCaptureDevices(const CaptureDeviceFound& found);

// The capture devices, enumerated on the first call and kept for the program's life.
// An enumeration that raises an error leaves no list behind; the next call tries again.
TDirectXDrivers& CaptureDrivers();

// How many libraries the cache holds (for the tests of the cache).
int LoadedLibraryCount();

}  // namespace recording

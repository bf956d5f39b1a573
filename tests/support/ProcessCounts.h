// What the test's own process holds: its threads (with where each started, to name a
// leaked one) and its handles. GetProcessHandleCount answers 0 under Wine; the system's
// handle table, filtered by process, is what both Wine and Windows answer truly.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testing_support {

inline std::set<DWORD> ThreadIds() {
  std::set<DWORD> ids;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 t{};
  t.dwSize = sizeof t;
  for (BOOL ok = Thread32First(snap, &t); ok; ok = Thread32Next(snap, &t))
    if (t.th32OwnerProcessID == GetCurrentProcessId()) ids.insert(t.th32ThreadID);
  CloseHandle(snap);
  return ids;
}

// The module a thread started in and the address it started at
// ("fault_tests.exe@0x4a81c0", for addr2line), or "?".
inline std::string ThreadOrigin(DWORD id) {
  using Query = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
  static const auto query =
      reinterpret_cast<Query>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread"));
  HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
  if (!thread || !query) return "?";
  void* start = nullptr;
  const LONG status = query(thread, 9 /* ThreadQuerySetWin32StartAddress */, &start, sizeof start, nullptr);
  CloseHandle(thread);
  HMODULE module = nullptr;
  char name[MAX_PATH] = "?";
  if (status == 0 && GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                        static_cast<LPCSTR>(start), &module))
    GetModuleFileNameA(module, name, MAX_PATH);
  const std::string path = name;
  char at[32];
  std::snprintf(at, sizeof at, "@%p", start);
  return path.substr(path.find_last_of("\\/") + 1) + at;
}

// The origins of the threads that are not among `before`.
inline std::string NewThreads(const std::set<DWORD>& before) {
  std::string out;
  for (DWORD id : ThreadIds())
    if (!before.count(id)) out += (out.empty() ? "" : ", ") + ThreadOrigin(id);
  return out;
}

// The name of the kind of object a handle of this process stands for ("Event", "File").
inline std::string TypeName(HANDLE h) {
  using Query = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  static const auto query = reinterpret_cast<Query>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject"));
  alignas(8) char buffer[512] = {};
  if (!query || query(h, 2 /* ObjectTypeInformation */, buffer, sizeof buffer, nullptr) != 0) return "?";
  struct Counted {  // the type's name, as the system counts it
    USHORT length, room;
    const wchar_t* text;
  };
  const auto* name = reinterpret_cast<const Counted*>(buffer);
  std::string text;
  for (USHORT i = 0; i < name->length / 2; ++i) text += char(name->text[i]);
  return text;
}

// The handles this process holds, from the system's handle table; with `byType`, also
// how many of each kind of object (the table's type numbers).
inline int HandleCount(std::map<int, int>* byType = nullptr, std::map<int, std::string>* names = nullptr) {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  static const auto query =
      reinterpret_cast<Query>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation"));
  struct Entry {
    ULONG pid;
    BYTE type, flags;
    USHORT value;
    PVOID object;
    ULONG access;
  };
  std::vector<char> buffer(1 << 18);
  ULONG size = 0;
  LONG status;
  while ((status = query(16 /* SystemHandleInformation */, buffer.data(), ULONG(buffer.size()), &size)) ==
         LONG(0xC0000004) /* STATUS_INFO_LENGTH_MISMATCH */)
    buffer.resize(buffer.size() * 2);
  if (status != 0) return -1;
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const Entry* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
  int mine = 0;
  for (ULONG i = 0; i < count; ++i) {
    if (entries[i].pid != GetCurrentProcessId()) continue;
    ++mine;
    if (byType) ++(*byType)[entries[i].type];
    if (names && !names->count(entries[i].type)) (*names)[entries[i].type] = TypeName(HANDLE(ULONG_PTR(entries[i].value)));
  }
  return mine;
}

}  // namespace testing_support

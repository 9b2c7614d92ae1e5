// Owners of the handles that pass through the platform layer. Each one gives
// its handle back through the platform that handed it out.
#pragma once
#include "platform/Platform.h"

// An open file or folder (CreateFileW, NtOpenFile) or process (OpenProcess);
// closed with CloseHandle when valid.
class TFileHandle {
public:
  TFileHandle(TPlatform& platform, HANDLE handle) : FPlatform(platform), FHandle(handle) {}
  ~TFileHandle() {
    if (Valid()) FPlatform.CloseHandle(FHandle);
  }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
  HANDLE Get() const { return FHandle; }
  // Hands the handle on; the owner then closes nothing.
  HANDLE Release() {
    HANDLE handle = FHandle;
    FHandle = INVALID_HANDLE_VALUE;
    return handle;
  }

private:
  TPlatform& FPlatform;
  HANDLE FHandle;
};

// A URL cache enumeration. FindCloseUrlCache runs whatever the handle is,
// null included: the enumeration protocol always closes.
class TUrlCacheFind {
public:
  TUrlCacheFind(TPlatform& platform, HANDLE handle) : FPlatform(platform), FHandle(handle) {}
  ~TUrlCacheFind() { FPlatform.FindCloseUrlCache(FHandle); }
  TUrlCacheFind(const TUrlCacheFind&) = delete;
  TUrlCacheFind& operator=(const TUrlCacheFind&) = delete;
  HANDLE Get() const { return FHandle; }

private:
  TPlatform& FPlatform;
  HANDLE FHandle;
};

// A library loaded at run time; freed with FreeLibrary when loaded.
class TLibraryHandle {
public:
  TLibraryHandle(TPlatform& platform, HMODULE module) : FPlatform(platform), FModule(module) {}
  ~TLibraryHandle() {
    if (FModule) FPlatform.FreeLibrary(FModule);
  }
  TLibraryHandle(const TLibraryHandle&) = delete;
  TLibraryHandle& operator=(const TLibraryHandle&) = delete;
  HMODULE Get() const { return FModule; }

private:
  TPlatform& FPlatform;
  HMODULE FModule;
};

// One counted reference to a COM object.
template <class T>
class TComRef {
public:
  TComRef() = default;
  ~TComRef() { Reset(); }
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;

  T* Get() const { return FObject; }
  T* operator->() const { return FObject; }
  explicit operator bool() const { return FObject != nullptr; }

  // Takes over a reference the caller already holds; releases the old one.
  void Reset(T* object = nullptr) {
    T* old = FObject;
    FObject = object;
    if (old) old->Release();
  }
  // Address for an out-parameter; releases what was held first.
  void** Put() {
    Reset();
    return reinterpret_cast<void**>(&FObject);
  }

private:
  T* FObject = nullptr;
};

// An open registry key (RegOpenKeyExA); closed with RegCloseKey when open.
class TRegKeyHandle {
public:
  TRegKeyHandle(TPlatform& platform, HKEY key) : FPlatform(platform), FKey(key) {}
  ~TRegKeyHandle() {
    if (FKey) FPlatform.RegCloseKey(FKey);
  }
  TRegKeyHandle(const TRegKeyHandle&) = delete;
  TRegKeyHandle& operator=(const TRegKeyHandle&) = delete;
  HKEY Get() const { return FKey; }

private:
  TPlatform& FPlatform;
  HKEY FKey;
};

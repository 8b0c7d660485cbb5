// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own version information, read back from its executable file.

#include "platform/system_types.h"

// Copies the running executable's path, NUL-terminated and cut to nSize - 1 bytes; returns its
// length, 0 on failure. hModule must be null (the program itself).
DWORD GetModuleFileNameA(HMODULE hModule, char* lpFilename, DWORD nSize);
// Size of the buffer GetFileVersionInfoA needs for the file's version information, 0 if none.
DWORD GetFileVersionInfoSizeA(const char* lptstrFilename, DWORD* lpdwHandle);
BOOL GetFileVersionInfoA(const char* lptstrFilename, DWORD dwHandle, DWORD dwLen, void* lpData);
// Walks a block filled by GetFileVersionInfoA: "\" gives the fixed part, "\VarFileInfo\Translation"
// the translation entries (length in bytes), "\StringFileInfo\<table>\<key>" a NUL-terminated
// 8-bit text (length in characters, terminator included).
BOOL VerQueryValueA(const void* pBlock, const char* lpSubBlock, void** lplpBuffer, UINT* puLen);

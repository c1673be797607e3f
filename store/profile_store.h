#pragma once
// INI profile functions with the classic signatures, backed by a process-wide cache of parsed
// files. Any thread may call them; they serialise on one process-wide recursive mutex and must
// never be called from the audio thread. Paths are absolute.

// Copies the value of `key` in `section` (trimmed, one pair of enclosing quotes removed), or
// `defaultValue` when either is missing, into `buffer`: at most size - 1 characters and a zero
// byte. Returns the number of characters copied; size <= 0 writes nothing.
int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                            char* buffer, int size, const char* path);

// Sets (value given), removes (value null) a key, or removes the whole section (key null), and
// rewrites the file when that changed anything. False for a null section or an empty key, and
// when the file could not be rewritten; the change is then dropped, not kept in memory.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path);

// Replaces all keys of `section` with `data`: zero-terminated "key=value" strings ended by an
// empty string. False for a null section or when the file could not be rewritten.
bool WritePrivateProfileSection(const char* section, const char* data, const char* path);

#pragma once
// What Windows' version API and resource loader report about a program file.
#include <map>
#include <string>
#include <string_view>

namespace package_test {

// Every fact by name: the string table's values under the file's first
// translation ("CompanyName", "FileVersion", ...), and the fixed part as
// "fixed FileVersion" / "fixed ProductVersion" (a.b.c.d). Empty when the file
// has no version resource.
std::map<std::wstring, std::wstring> ReadVersionFacts(std::wstring_view path);

// The bytes of the manifest embedded as resource 1 of type RT_MANIFEST, which
// the loader applies to a process; empty when there is none.
std::string ReadEmbeddedManifest(std::wstring_view path);

// "1.2.3" -> "1.2.3.0": a version as the version resource holds it.
std::wstring VersionQuad(std::wstring_view version);

}  // namespace package_test

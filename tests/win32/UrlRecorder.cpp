// Test helper standing in for the browser: registered as the https handler of
// the test prefix, it appends the address it was given to url_log.txt beside
// itself, one line per start.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring log(path);
  log = log.substr(0, log.find_last_of(L'\\') + 1) + L"url_log.txt";
  FILE* file = _wfopen(log.c_str(), L"ab");
  if (file == nullptr) return 1;
  const std::wstring address = argc > 1 ? argv[1] : L"";
  std::fprintf(file, "%ls\n", address.c_str());
  std::fclose(file);
  return 0;
}

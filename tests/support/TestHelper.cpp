#include "TestHelper.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {
constexpr const char* kPrefix = "--helper=";

std::map<std::string, int (*)()>& Helpers() {
  static std::map<std::string, int (*)()> helpers;
  return helpers;
}
}  // namespace

bool RegisterTestHelper(const char* name, int (*helper)()) {
  Helpers()[name] = helper;
  return true;
}

QStringList TestHelperArguments(const char* name) { return {QString::fromLatin1(kPrefix) + QString::fromLatin1(name)}; }

bool RunTestHelper(int argc, char** argv, int& code) {
  const size_t prefix = std::strlen(kPrefix);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kPrefix, prefix) != 0) continue;
    const auto found = Helpers().find(argv[i] + prefix);
    if (found == Helpers().end()) {
      std::fprintf(stderr, "no helper named %s\n", argv[i] + prefix);
      code = 2;
    } else {
      code = found->second();
    }
    return true;
  }
  return false;
}

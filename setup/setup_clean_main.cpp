// Runs the removal of an older installation for the package's pre-installation step: loads the
// Setup library that lies beside this program and calls its Clean action. The exit status is
// Clean's result (0: go on, 1: the person refused and the installation stops); 2 when the library
// cannot be loaded.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::string OwnFolder() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0)
    return ".";
  std::string full(path, static_cast<size_t>(length));
  const size_t slash = full.rfind('/');
  return slash == std::string::npos ? "." : full.substr(0, slash);
}

}  // namespace

int main() {
  const std::string library = OwnFolder() + "/libSetup.so";
  void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    std::fprintf(stderr, "quenbrook-setup-clean: cannot load %s: %s\n", library.c_str(),
                 ::dlerror());
    return 2;
  }
  using CleanFunction = uint32_t (*)(uint32_t);
  auto clean = reinterpret_cast<CleanFunction>(::dlsym(handle, "Clean"));
  if (clean == nullptr) {
    std::fprintf(stderr, "quenbrook-setup-clean: %s has no Clean action\n", library.c_str());
    return 2;
  }
  return clean(0) == 0 ? 0 : 1;
}

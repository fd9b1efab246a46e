#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("vimbrel 1.3");
    return 0;
  }
  std::puts("Vimbrel 1.3: joins two pictures into one.");
  return 0;
}

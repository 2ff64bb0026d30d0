// A fuzz target without libFuzzer: runs it once on each input given.
//   replay FILE...              each file as it is
//   replay --as NAME FILE ...   a bare parameter file, behind the line
//                               naming program NAME
// A failed check aborts; an input the target rejects (one that names no
// program) fails the run.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool read_whole(const char* path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    std::string input;
    if (std::strcmp(argv[i], "--as") == 0 && i + 2 < argc) {
      input = std::string(argv[i + 1]) + "\n";
      i += 2;
    }
    std::string file;
    if (!read_whole(argv[i], &file)) {
      std::fprintf(stderr, "replay: cannot read %s\n", argv[i]);
      return 1;
    }
    input += file;
    const int rc =
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    if (rc != 0) {
      std::fprintf(stderr, "replay: %s was rejected (names no program?)\n", argv[i]);
      return 1;
    }
    ++inputs;
  }
  std::printf("replay: %d inputs, every check held\n", inputs);
  return inputs > 0 ? 0 : 1;
}

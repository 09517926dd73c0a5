// Writes seed inputs for one of the image reader fuzz targets into a folder.
#include <cstdio>
#include <cstring>
#include <string>

#include "../tests/image_samples.h"

namespace {

void Write(const std::string& dir, const std::string& name, const imgsamples::Bytes& b) {
  FILE* f = fopen((dir + "/" + name).c_str(), "wb");
  if (!f) return;
  fwrite(b.data(), 1, b.size(), f);
  fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s ico|icon_record|resources folder\n", argv[0]);
    return 2;
  }
  const std::string kind = argv[1], dir = argv[2];
  if (kind == "ico") {
    Write(dir, "sample.ico", imgsamples::SampleIco());
    Write(dir, "image32", imgsamples::IconImage32(16, 16));
  } else if (kind == "icon_record") {
    Write(dir, "v16", imgsamples::StoredIcon(4, 3));
    Write(dir, "v7", imgsamples::StoredIcon(2, 2, 7));
  } else if (kind == "resources") {
    Write(dir, "toolbar", imgsamples::Toolbar(16, 16, {100, 0, 101}));
    Write(dir, "group", imgsamples::GroupIcon({{16, 16, 32, {}}, {32, 32, 4, {}}}));
    Write(dir, "bitmap", imgsamples::AlphaBitmapResource(8, 4));
  } else {
    return 2;
  }
  return 0;
}

#include "platform/imageio/prepared_conversion.h"

#include "tests/platform/imageio/jpeg2bmp_fixture.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;
using test::corpus;
using test::file_bytes;

struct PreparedCase {
  const char* name;
  const char* prepared;  // the source converted ahead
  const char* loaded;    // the source the converter is then asked for
  bool taken;
};

const PreparedCase kPrepared[] = {
    {"SameSource", "made/baseline_420.jpg", "made/baseline_420.jpg", true},
    {"TurnedSource", "made/exif_orientation6.jpg", "made/exif_orientation6.jpg", true},
    {"OtherSource", "made/baseline_420.jpg", "made/baseline_444.jpg", false},
    {"BrokenSource", "made/text.jpg", "made/text.jpg", false},
    {"CutOffSource", "made/truncated_in_header.jpg", "made/truncated_in_header.jpg", false},
};

void PrintTo(const PreparedCase& c, std::ostream* os) {
  *os << c.name;
}

class PreparedConversionTest : public ::testing::TestWithParam<PreparedCase> {};

// The converter's result with a conversion prepared ahead is byte for byte its result without one,
// and the file made ahead never outlives the conversion.
TEST_P(PreparedConversionTest, TheConverterGivesTheSameFileWithOrWithoutIt) {
  const test::TempDir dir;
  const std::string loaded = corpus(GetParam().loaded).string();
  JPEG2BMP(loaded, dir.file("direct.bmp"));
  const bool want_file = fs::exists(dir.file("direct.bmp"));
  {
    PreparedConversion ahead(corpus(GetParam().prepared).string(), dir.file("work.bmp"),
                             dir.file("ahead.bmp"));
    ahead.convert(loaded, dir.file("work.bmp"));
    EXPECT_EQ(ahead.taken(), GetParam().taken);
  }
  EXPECT_FALSE(fs::exists(dir.file("ahead.bmp")));
  ASSERT_EQ(fs::exists(dir.file("work.bmp")), want_file);
  if (want_file) {
    EXPECT_EQ(file_bytes(dir.file("work.bmp")), file_bytes(dir.file("direct.bmp")));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PreparedConversionTest, ::testing::ValuesIn(kPrepared),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PreparedConversion, ATakenWorkFilePathIsNeverReplaced) {
  const test::TempDir dir;
  test::write_bytes(dir.file("work.bmp"), {'x'});
  {
    PreparedConversion ahead(corpus("made/baseline_420.jpg").string(), dir.file("work.bmp"),
                             dir.file("ahead.bmp"));
    EXPECT_THROW(ahead.convert(corpus("made/baseline_420.jpg").string(), dir.file("work.bmp")), RuntimeError);
    EXPECT_FALSE(ahead.taken());
  }
  EXPECT_EQ(file_bytes(dir.file("work.bmp")), test::Bytes{'x'});
  EXPECT_FALSE(fs::exists(dir.file("ahead.bmp")));
}

}  // namespace
}  // namespace vimbrel

// No command writes over one of its inputs: an output path that names an input, itself or
// through a symbolic or a hard link, is refused with its message and nothing is written.
#include <gtest/gtest.h>

#include "core/archive_calendar.h"
#include "core/messages.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::shellQuote;

enum class Via { Itself, SymbolicLink, HardLink };

struct Case {
  const char* name;
  std::string command;  // "{out}" stands for the output path
  fs::path input;       // the input the output names
  fs::path link;        // where a link to it is made; a fixed output name has no --out
};

TEST(OutputNamingAnInput, IsRefusedByEveryWritingCommandItselfAndThroughLinks) {
  test::RainFile f;
  test::JulyArchive a;
  const fs::path polygons = f.dir / "basin.geojson";
  test::writeText(polygons, R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
                            R"("geometry":{"type":"Polygon","coordinates":[[[137.3,38.6],[139.1,38.6],)"
                            R"([139.1,35.9],[137.3,35.9],[137.3,38.6]]]}}]})");
  const fs::path day = core::archiveFilePath(a.dir.path().string(), 2005, 7, 1);
  const std::string rmd = f.file + " ";
  const std::string areal = " --polygons " + shellQuote(polygons.string()) + " --out ";
  const std::string period = a.archive() + " --region Ka --from 2005-07-01 --to 2005-07-02 ";
  const fs::path link = f.dir / "link";
  const std::vector<Case> cases{
      {"series", "series " + rmd + "--id 3 --out {out}", f.path, link},
      {"export-geotiff", "export-geotiff " + rmd + "--frame 0 --out {out}", f.path, link},
      {"export-duration-max", "export-duration-max " + rmd + "--hours 1 --out {out}", f.path, link},
      {"export-netcdf", "export-netcdf " + rmd + "--force --out {out}", f.path, link},
      {"render", "render " + rmd + "--frame 0 --png {out}", f.path, link},
      {"areal over the RMD file", "areal " + rmd + areal + "{out}", f.path, link},
      {"areal over the polygons", "areal " + rmd + areal + "{out}", polygons, link},
      {"areal durations", "areal " + rmd + "--durations 1,3" + areal + shellQuote((f.dir / "d.csv").string()), f.path,
       f.dir / "d-areal-durations.csv"},
      {"export-frame", "export-frame " + rmd + "--frame 1", f.path, f.dir / "Ka200507010030.CSV"},
      {"preprocess", "preprocess " + period + "--force", day, a.dir / "Ka20057012005702.RMD"},
      {"export-netcdf from the archive", "export-netcdf " + period + "--force --out {out}", day, a.dir / "link"},
      {"areal from the archive", "areal " + a.archive() + " --from 2005-07-01 --to 2005-07-02" + areal + "{out}", day,
       a.dir / "link"},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> before = test::readBytes(c.input);
    const std::size_t at = c.command.find("{out}");
    for (const Via via : {Via::Itself, Via::SymbolicLink, Via::HardLink}) {
      if (via == Via::Itself && at == std::string::npos) continue;
      SCOPED_TRACE(std::string(c.name) + ", way " + std::to_string(static_cast<int>(via)));
      if (via == Via::SymbolicLink) fs::create_symlink(c.input, c.link);
      if (via == Via::HardLink) fs::create_hard_link(c.input, c.link);
      const fs::path out = via == Via::Itself ? c.input : c.link;
      const std::string command = at == std::string::npos ? c.command : std::string(c.command).replace(at, 5, shellQuote(out.string()));
      const std::vector<std::string> names = test::namesIn(out.parent_path());
      test::expectRefused(test::tool(command), std::string(messages::kOutputIsInput) + out.string());
      EXPECT_EQ(test::readBytes(c.input), before);
      EXPECT_EQ(test::namesIn(out.parent_path()), names);
      EXPECT_EQ(fs::is_symlink(out), via == Via::SymbolicLink);
      if (via != Via::Itself) fs::remove(c.link);
    }
  }
}

}  // namespace
}  // namespace ombrix

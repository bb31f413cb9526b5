// The generated default data set as the demo meets it: every file LoadDemo asks for is
// there, loads through the demo's own loaders and fills its object.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "effects/warp_grid.h"
#include "mesh/screen_picture.h"
#include "platform/data_path.h"
#include "platform/tool_switches.h"
#include "scenes/forest_scene.h"
#include "tests/demo_data.h"
#include "tests/gl_test.h"
#include "tools/assets/generate.h"

namespace {

class DataSetTest : public DeviceTest {
 protected:
  DemoDataDir dir_{false};
};

TEST_F(DataSetTest, EveryFileTheDemoAsksForResolvesAndLoads) {
  ASSERT_TRUE(GenerateDataSet("Data"));
  std::set<std::string> asked, missing;
  g_platformSwitches.lookupObserver = [&](const char* path, const std::string& resolved) {
    asked.insert(path);
    if (resolved.empty()) missing.insert(path);
  };
  LoadDemo();
  g_platformSwitches.lookupObserver = nullptr;

  EXPECT_EQ(missing, std::set<std::string>{});
  EXPECT_EQ(asked.size(), 44u) << "42 files, two of them asked for in two letter cases";
  for (const Mesh* mesh :
       {&g_cube1,    &g_cube2,    &g_cube3,    &g_cube4,    &g_cube5,     &g_morph1,
        &g_morph2,   &g_vellmoth, &g_granbarr, &g_granstam, &g_alsten,    &g_stenbox,
        &g_stenbox2, &g_rum,      &g_pelare,   &g_rip,      &g_eldpinnar, &g_eld,
        &g_mark,     &g_himmel,   &g_huvud,    &g_hatt}) {
    EXPECT_GT(mesh->faceCount, 0u);
    EXPECT_NE(mesh->texture0, nullptr);
  }
  EXPECT_EQ(g_morph1.vertexCount, g_morph2.vertexCount) << "the morph targets correspond";
  for (const WarpGrid* grid : {&g_tex3Warp, &g_tex2WarpA, &g_tex2WarpB, &g_grayWarpA, &g_grayWarpB})
    EXPECT_NE(grid->texture, nullptr);
  for (const ScreenPicture* picture : {&g_titlePicture, &g_presentsPicture, &g_wherePicture,
                                       &g_finishPicture, &g_codePicture, &g_greetsPicture})
    EXPECT_NE(picture->texture, nullptr);
  EXPECT_NE(g_musicStream, 0u) << "the sound track opens";
}

}  // namespace

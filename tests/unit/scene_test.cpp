// The overlay font's creation and selection, against the fake platform.
#include "app/app_state.h"
#include "platform/fake/fake_platform.h"
#include "platform/viewer_window.h"
#include "render/scene.h"
#include "tests/unit/open_window.h"

#include <gtest/gtest.h>

namespace {

// Opens a windowed viewer window on the fake (its scene set-up builds the font once).
void OpenWindow() {
  ResetFakePlatform();
  ASSERT_TRUE(OpenTestWindow(false));
  ASSERT_NE(nullptr, windowContext.deviceContext);
}

// Glyphs 32..127 go into the lists from OverlayFont, rasterised with the created font
// selected; the previous font is selected back before the created one is deleted.
TEST(FontLists, GlyphsBuiltWithTheFontSelectedThenRestored) {
  OpenWindow();
  const FakeFontBitmaps& b = fakePlatform.lastFontBitmaps;
  EXPECT_EQ(windowContext.deviceContext, b.dc);
  EXPECT_EQ(32u, b.first);
  EXPECT_EQ(96u, b.count);
  EXPECT_EQ(static_cast<DWORD>(OverlayFont), b.listBase);

  int create = FakeCallIndex("CreateFontA");
  int selectFont = FakeCallIndex("SelectObject", 1);
  int bitmaps = FakeCallIndex("wglUseFontBitmapsA");
  int selectBack = FakeCallIndex("SelectObject", 2);
  int remove = FakeCallIndex("DeleteObject");
  ASSERT_GE(create, 0);
  ASSERT_GE(selectBack, 0);
  ASSERT_GE(remove, 0);
  EXPECT_LT(create, selectFont);
  EXPECT_LT(selectFont, bitmaps);
  EXPECT_LT(bitmaps, selectBack);
  EXPECT_LT(selectBack, remove);

  uintptr_t font = fakePlatform.calls[create].result;
  ASSERT_NE(0u, font);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(font), b.selectedFont);
  EXPECT_EQ(font, fakePlatform.calls[selectFont].handle);
  // The second selection puts back what the first returned.
  EXPECT_EQ(fakePlatform.calls[selectFont].result, fakePlatform.calls[selectBack].handle);
  EXPECT_EQ(font, fakePlatform.calls[remove].handle);
  EXPECT_EQ(1, FakeCallCount("CreateFontA"));
  EXPECT_EQ(1, FakeCallCount("DeleteObject"));
  EXPECT_TRUE(fakePlatform.misuse.empty()) << fakePlatform.misuse.front();
  DestroyViewerWindow();
}

}  // namespace

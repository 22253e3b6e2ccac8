// GDI32's CreateFontA, SelectObject and DeleteObject, and OPENGL32's wglUseFontBitmapsA.
// Built on fontconfig (face matching) and FreeType (hinted monochrome glyphs), drawn with glBitmap.
// Leaves out: widths, escapement, underline and strike-out, character sets other than Latin-1, objects other than fonts.
#include <cstring>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include "platform/sdl/standin_sdl.h"

namespace {

constexpr int STANDIN_MAX_FONTS = 16;
constexpr int STANDIN_FACE_NAME_LENGTH = 32;  // LF_FACESIZE
constexpr int STANDIN_DEFAULT_HEIGHT = 16;   // Character height of the stock font
constexpr int STANDIN_REGULAR_WEIGHT = 400;  // FW_NORMAL, also what weight 0 (FW_DONTCARE) means

struct SdlFontRecord {
  bool used;
  int height;  // As CreateFontA got it: < 0 character height, > 0 cell height, 0 default
  int weight;
  bool italic;
  char face[STANDIN_FACE_NAME_LENGTH];
};

struct SdlFontState {
  SdlFontRecord fonts[STANDIN_MAX_FONTS];
  bool fontconfigReady;
  // Scratch for one glyph, rows flipped for glBitmap and padded to 4 bytes.
  unsigned char bitmap[256 * 256 / 8];
};

SdlFontState sdlFont = {};

SdlFontRecord* SdlFindFont(HGDIOBJ object) {
  for (SdlFontRecord& record : sdlFont.fonts) {
    if (record.used && static_cast<void*>(&record) == object) return &record;
  }
  return nullptr;
}

// The file and face index fontconfig picks for a face name, weight and slant.
bool SdlMatchFontFile(const SdlFontRecord& font, char* path, size_t pathSize, int* index) {
  if (!sdlFont.fontconfigReady) {
    if (!FcInit()) return false;
    sdlFont.fontconfigReady = true;
  }
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  const char* family = font.face[0] != '\0' ? font.face : "sans-serif";
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  int weight = font.weight > 0 ? font.weight : STANDIN_REGULAR_WEIGHT;
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* file = nullptr;
  bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr &&
               std::strlen(reinterpret_cast<const char*>(file)) < pathSize;
  if (found) {
    std::strcpy(path, reinterpret_cast<const char*>(file));
    if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
  }
  FcPatternDestroy(match);
  return found;
}

// Negative heights are character (em) heights; positive ones are cell heights, scaled by the face's
// Windows ascent plus descent as GDI does.
FT_UInt SdlPixelSizeForHeight(FT_Face face, int height) {
  if (height < 0) return static_cast<FT_UInt>(-height);
  if (height == 0) return STANDIN_DEFAULT_HEIGHT;
  long cellUnits = face->ascender - face->descender;
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
    cellUnits = os2->usWinAscent + os2->usWinDescent;
  }
  if (cellUnits <= 0) return static_cast<FT_UInt>(height);
  long size = (static_cast<long>(height) * face->units_per_EM + cellUnits / 2) / cellUnits;
  return static_cast<FT_UInt>(size > 0 ? size : 1);
}

// Compiles one character's list: the glyph's bitmap at its offsets, then the hinted advance.
void SdlCompileGlyph(FT_Face face, unsigned long character, GLuint list) {
  GLsizei width = 0;
  GLsizei rows = 0;
  GLfloat xorig = 0.0f;
  GLfloat yorig = 0.0f;
  GLfloat xmove = 0.0f;
  if (FT_Load_Char(face, character, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) == 0 &&
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0) {
    const FT_Bitmap& glyph = face->glyph->bitmap;
    int stride = ((static_cast<int>(glyph.width) + 31) / 32) * 4;
    if (static_cast<size_t>(stride) * glyph.rows <= sizeof(sdlFont.bitmap)) {
      width = static_cast<GLsizei>(glyph.width);
      rows = static_cast<GLsizei>(glyph.rows);
      std::memset(sdlFont.bitmap, 0, static_cast<size_t>(stride) * glyph.rows);
      int rowBytes = (static_cast<int>(glyph.width) + 7) / 8;
      for (int row = 0; row < rows; ++row) {
        // FreeType's first row is the top one; glBitmap's is the bottom one.
        const unsigned char* source = glyph.buffer + row * glyph.pitch;
        unsigned char* target = sdlFont.bitmap + (rows - 1 - row) * stride;
        std::memcpy(target, source, static_cast<size_t>(rowBytes));
        // Bits past the glyph's width stay clear.
        if ((glyph.width % 8) != 0) {
          target[rowBytes - 1] &= static_cast<unsigned char>(0xFF << (8 - glyph.width % 8));
        }
      }
      xorig = static_cast<GLfloat>(-face->glyph->bitmap_left);
      yorig = static_cast<GLfloat>(rows - face->glyph->bitmap_top);
    }
    xmove = static_cast<GLfloat>(face->glyph->advance.x) / 64.0f;
  }
  glNewList(list, GL_COMPILE);
  glBitmap(width, rows, xorig, yorig, xmove, 0.0f, sdlFont.bitmap);
  glEndList();
}

}  // namespace

extern "C" {

// A font record remembering what the face is matched by later: height, weight, italic and name.
HFONT WINAPI CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD,
                         DWORD, DWORD, DWORD, DWORD, LPCSTR faceName) {
  if (faceName != nullptr && std::strlen(faceName) >= static_cast<size_t>(STANDIN_FACE_NAME_LENGTH)) {
    return nullptr;
  }
  for (SdlFontRecord& record : sdlFont.fonts) {
    if (record.used) continue;
    record = {};
    record.used = true;
    record.height = height;
    record.weight = weight;
    record.italic = italic != 0;
    if (faceName != nullptr) std::strcpy(record.face, faceName);
    return reinterpret_cast<HFONT>(&record);
  }
  return nullptr;
}

// Puts a font into a device context and returns the object selected before (null on failure).
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  if (!SdlIsDeviceContext(dc)) return nullptr;
  HGDIOBJ previous = SdlGetDeviceContextFont(dc);
  // Fonts are the only objects the stand-in knows: its own and the stock one.
  if (object != SdlGetStockFont() && SdlFindFont(object) == nullptr) return nullptr;
  SdlSetDeviceContextFont(dc, object);
  return previous;
}

// Frees a font record; FALSE for anything else (stock objects included).
BOOL WINAPI DeleteObject(HGDIOBJ object) {
  SdlFontRecord* record = SdlFindFont(object);
  if (record == nullptr) return FALSE;
  *record = {};
  return TRUE;
}

// Lists listBase + i for characters first + i: each a glBitmap of the hinted monochrome glyph and its advance.
BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
  if (!SdlIsDeviceContext(dc) || SDL_GL_GetCurrentContext() == nullptr) return FALSE;
  SdlFontRecord stock = {};
  stock.height = -STANDIN_DEFAULT_HEIGHT;
  stock.weight = STANDIN_REGULAR_WEIGHT;
  const SdlFontRecord* font = SdlFindFont(SdlGetDeviceContextFont(dc));
  if (font == nullptr) font = &stock;
  char path[4096];
  int index = 0;
  if (!SdlMatchFontFile(*font, path, sizeof(path), &index)) return FALSE;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return FALSE;
  FT_Face face = nullptr;
  if (FT_New_Face(library, path, index, &face) != 0) {
    FT_Done_FreeType(library);
    return FALSE;
  }
  BOOL built = FALSE;
  if (FT_Set_Pixel_Sizes(face, 0, SdlPixelSizeForHeight(face, font->height)) == 0) {
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    for (DWORD i = 0; i < count; ++i) SdlCompileGlyph(face, first + i, listBase + i);
    glPopClientAttrib();
    built = TRUE;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return built;
}

}  // extern "C"

/* Writes the installed freeglut's 18-point Helvetica bitmap font as C++ source for the web build,
 * which draws its text without freeglut. The font is read from the shared library at build time,
 * through freeglut's own font record. */
#include <dlfcn.h>
#include <stdio.h>

/* freeglut's bitmap font record (fg_internal.h, freeglut 3.x). */
struct BitmapFont {
    const char* name;
    int quantity;
    int height;
    const unsigned char** characters;
    float xorig, yorig;
};

int main(void) {
    const char* libraries[] = {"libglut.so.3", "libglut.so"};
    void* library = NULL;
    for (unsigned i = 0; i < sizeof libraries / sizeof libraries[0] && library == NULL; ++i)
        library = dlopen(libraries[i], RTLD_NOW);
    if (library == NULL) {
        fprintf(stderr, "extract-font: cannot open freeglut: %s\n", dlerror());
        return 1;
    }
    const struct BitmapFont* font = (const struct BitmapFont*)dlsym(library, "fgFontHelvetica18");
    if (font == NULL || font->height <= 0 || font->height > 64 || font->quantity < 128 || font->quantity > 256) {
        fprintf(stderr, "extract-font: freeglut has no usable fgFontHelvetica18\n");
        return 1;
    }
    printf("// Generated at build time from the installed freeglut (%s); do not edit.\n", font->name);
    printf("// freeglut is distributed under the X11 licence; its notice is in /usr/share/doc/libglut3.12/copyright.\n");
    printf("#include \"web/gl/BitmapFont.h\"\n\nnamespace {\n\n");
    for (int c = 0; c < font->quantity; ++c) {
        const unsigned char* face = font->characters[c];
        if (face == NULL) continue;
        const int width = face[0];
        const int bytes = ((width + 7) / 8) * font->height;
        printf("const unsigned char glyph%d[] = {%d", c, width);
        for (int i = 0; i < bytes; ++i) printf(",%d", face[1 + i]);
        printf("};\n");
    }
    printf("\nconst unsigned char* const glyphs[%d] = {", font->quantity);
    for (int c = 0; c < font->quantity; ++c) {
        printf("%s", c % 8 == 0 ? "\n    " : " ");
        if (font->characters[c] != NULL)
            printf("glyph%d,", c);
        else
            printf("nullptr,");
    }
    printf("\n};\n\n}  // namespace\n\n");
    printf("const BitmapFont helvetica18{%d, %d, float(%.9g), float(%.9g), glyphs};\n", font->quantity, font->height,
           (double)font->xorig, (double)font->yorig);
    return 0;
}

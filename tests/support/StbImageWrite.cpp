// The picture writer the tests use to make small files for the image loader to read; its code is
// compiled here once for the whole test program. Its structs are zeroed with { 0 }, which -Wextra dislikes.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

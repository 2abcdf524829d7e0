// The picture writer the tests use to make small files for the image loader to read; its code is
// compiled here once for the whole test program.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

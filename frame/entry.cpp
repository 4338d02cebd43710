// The plug-in image's face to the firmware: the header sections it reads before starting the
// plug-in, and __TAP_Init_, which hands it TAP_Main (frame/startup.cpp) and TAP_EventHandler
// (frame/dispatch.cpp).
#include "frame/platform/tap.h"

// Sections are looked up by name in the image, so each block sits in its own section, kept
// even though nothing in the plug-in refers to it. Their sizes are fixed: clang's
// AddressSanitizer must not pad them with red zones (GCC's leaves sectioned data alone).
#if defined(__clang__)
#define TAP_SECTION_UNPADDED __attribute__((no_sanitize("address")))
#else
#define TAP_SECTION_UNPADDED
#endif
#define TAP_SECTION(name) __attribute__((section(name), used, visibility("default"))) TAP_SECTION_UNPADDED

extern "C" {

TAP_SECTION("._tap_header")
extern const unsigned char tap_header[TAP_HEADER_SIZE] = {'P', 'L', 'U', 'G', 'M', 'I', 'P', 'S',
                                                          TAP_HEADER_VERSION, 0, 0, 0};

// Identifies the plug-in to the firmware; the top bit marks a plug-in of its own rather than
// one of the firmware's.
TAP_SECTION("._tap_id")
extern const dword tap_id = 0x80D1A0D0u;

TAP_SECTION("._tap_program_name")
extern const char tap_program_name[TAP_PROGRAM_NAME_SIZE] = "Dir'o ROD";

TAP_SECTION("._tap_author_name")
extern const char tap_author_name[TAP_AUTHOR_NAME_SIZE] = "Zib";

TAP_SECTION("._tap_description")
extern const char tap_description[TAP_DESCRIPTION_SIZE] = "open EPG -> STOP to exit Dir'o ROD";

// The build date: month abbreviation, day and year, as "Dec  7 2026".
TAP_SECTION("._tap_etcinfo")
extern const char tap_etcinfo[TAP_ETCINFO_SIZE] = __DATE__;

__attribute__((visibility("default"))) int __TAP_Init_(TapEntryFn table[TAP_ENTRY_COUNT])
{
    table[TAP_ENTRY_MAIN] = reinterpret_cast<TapEntryFn>(&TAP_Main);
    table[TAP_ENTRY_EVENT_HANDLER] = reinterpret_cast<TapEntryFn>(&TAP_EventHandler);
    return 0;
}

}  // extern "C"

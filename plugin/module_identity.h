/* Who the module is: version, names, capability word and about text. One
   place for every value that the exports, the stand-in host and the Windows
   resource script (version record) show, in plain preprocessor form so that
   the resource compiler can read it too (the capability word, for C++ only). */
#ifndef MOSSGRAIN_MODULE_IDENTITY_H
#define MOSSGRAIN_MODULE_IDENTITY_H

/* The version numbers, generated from the build's one statement of them. */
#include "plugin/module_version.h"

#define MOSSGRAIN_FILE_DESCRIPTION "Mossgrain plugin for TotalCommander file manager"
#define MOSSGRAIN_PRODUCT_NAME "Mossgrain plugin for TotalCommander file manager"
#define MOSSGRAIN_INTERNAL_NAME "Mossgrain"
#define MOSSGRAIN_ORIGINAL_FILENAME "Mossgrain.wcx"
#define MOSSGRAIN_COMPANY_NAME "Mossgrain developers"
#define MOSSGRAIN_LEGAL_COPYRIGHT "Copyright (C) 2026 Mossgrain developers"

/* Version record language: Russian, with the Unicode code page. */
#define MOSSGRAIN_VERSION_LANGUAGE 0x0419
#define MOSSGRAIN_VERSION_CODEPAGE 1200
#define MOSSGRAIN_VERSION_BLOCK "041904b0"
#define MOSSGRAIN_FILEFLAGSMASK 0x17

/* The about box. The version here says 0.2 while the version record says
   0.3.0.0; both are what users have seen, so both stay. */
#define MOSSGRAIN_ABOUT_CAPTION "About..."
#define MOSSGRAIN_ABOUT_STYLE 0x30
#define MOSSGRAIN_ABOUT_TEXT                        \
    "Mossgrain plug-in for TotalCommander v 0.2 \n" \
    "    Kervad (kervad) \n"                        \
    "    mossgrain@example.org"

#ifdef __cplusplus
#include "plugin/wcx_api.h"

/* The capability word: can create, modify, hold several files, has options,
   may be searched for text, shown as an ordinary file. */
constexpr int kPackerCaps =
    kCapsNew | kCapsModify | kCapsMultiple | kCapsOptions | kCapsSearchText | kCapsHide;
#endif

#endif

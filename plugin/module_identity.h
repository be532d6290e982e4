/* Who the module is: version, names, capability word and about text. One
   place for every value that the exports, the stand-in host and the Windows
   resource script (version record) show, in plain preprocessor form so that
   the resource compiler can read it too. */
#ifndef MOSSGRAIN_MODULE_IDENTITY_H
#define MOSSGRAIN_MODULE_IDENTITY_H

#define MOSSGRAIN_VERSION_MAJOR 0
#define MOSSGRAIN_VERSION_MINOR 3
#define MOSSGRAIN_VERSION_PATCH 0
#define MOSSGRAIN_VERSION_BUILD 0
/* The version record writes the numbers this way in both string fields. */
#define MOSSGRAIN_VERSION_TEXT "0, 3, 0, 0"
/* The dotted form, for file names and --version. */
#define MOSSGRAIN_VERSION_DOTTED "0.3.0.0"

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

/* The capability word: can create (0x001), modify (0x002), hold several
   files (0x004), has options (0x010), may be searched for text (0x080),
   shown as an ordinary file (0x100). */
#define MOSSGRAIN_PACKER_CAPS 407

/* The about box. The version here says 0.2 while the version record says
   0.3.0.0; both are what users have seen, so both stay. */
#define MOSSGRAIN_ABOUT_CAPTION "About..."
#define MOSSGRAIN_ABOUT_STYLE 0x30
#define MOSSGRAIN_ABOUT_TEXT                        \
    "Mossgrain plug-in for TotalCommander v 0.2 \n" \
    "    Kervad (kervad) \n"                        \
    "    mossgrain@example.org"

#endif

// Resource numbers of the program. 1001-1006 are kept for the image placeholders and cursors.
#pragma once

#define IDI_BRISOMEL 1
#define IDB_GLYPH_BACK 2001
#define IDB_GLYPH_FWD 2002
#define IDB_GLYPH_OPEN 2003
#define IDB_GLYPH_HOME 2004
#define IDB_GLYPH_SEARCH 2005
#define IDB_GLYPH_PRINT 2006
#define IDB_GLYPH_EXIT 2007

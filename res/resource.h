// Resource ids shared by the program and spurwisch.rc (plain defines so
// that windres can read them too).  The icon is named "MAINICON".
#ifndef SPURWISCH_RES_RESOURCE_H
#define SPURWISCH_RES_RESOURCE_H

#define IDB_SPLASH 101
#define IDB_CLOSE 102

#endif

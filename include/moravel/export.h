/*
 * moravel/export.h - the export macro of libMoravel's C interfaces.
 *
 * MORAVEL_API marks a function exported by the shared library.  The build
 * compiles everything with hidden visibility; only the names marked here,
 * and listed in the library's version script, reach the dynamic symbol
 * table.
 */
#ifndef MORAVEL_EXPORT_H
#define MORAVEL_EXPORT_H

#if defined(_WIN32)
#if defined(MORAVEL_BUILDING_LIBRARY)
#define MORAVEL_API __declspec(dllexport)
#elif defined(MORAVEL_STATIC)
#define MORAVEL_API /* linked from the library's static archive */
#else
#define MORAVEL_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define MORAVEL_API __attribute__((visibility("default")))
#else
#define MORAVEL_API
#endif

#endif /* MORAVEL_EXPORT_H */

/*
 * orvel_plugin.h - the calling interface between the Orvel interpreter and
 * its plug-in libraries (.dll on Windows, .so on Linux).
 *
 * A plug-in is built against this header alone. The interpreter's `lib`
 * command loads it, looks the exports below up by name and calls them with
 * the C calling convention:
 *
 *   const char **_get_command_list(void);    names of the commands to register
 *   const char **_get_function_list(void);   export names of their handlers,
 *                                            parallel to the command list
 *   int          _get_export_count(void);    entries in both lists
 *   int          _get_dll_version(void);     version x 100
 *   const char  *_get_dll_date(void);        build date text
 *   const char  *_get_dll_comment(void);     description, or NULL
 *   void         _lib_init(void);            after loading (and on -replace)
 *   int          _lib_cleanup(int);          before unloading; 255 = busy
 *   int          _export_common_routines(17 host routines);   must return 17
 *   int          _pump_events(int *keys, int max_keys);       optional
 *
 * Every command handler has the form of orvel_command_fn and returns one of
 * the ORVEL_* result codes. Plug-ins should set their result through
 * orvel_set_result_fn.
 */
#ifndef ORVEL_PLUGIN_H
#define ORVEL_PLUGIN_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define ORVEL_EXPORT __declspec(dllexport)
#define ORVEL_CDECL __cdecl
#else
#define ORVEL_EXPORT __attribute__((visibility("default")))
#define ORVEL_CDECL
#endif

/* Result codes. */
enum {
  ORVEL_OK = 0,
  ORVEL_ERROR = 1,
  ORVEL_RETURN = 2,
  ORVEL_BREAK = 3,
  ORVEL_CONTINUE = 4,
  ORVEL_EXIT = 5,
  ORVEL_STOP = 6,
  ORVEL_GOTO = 7,
  ORVEL_DEFINED = 8
};

/* Number of host routines handed to _export_common_routines. */
#define ORVEL_HOST_ROUTINE_COUNT 17

/* A command handler: the calling interpreter (opaque), the word count, the
 * words (argv[0] is the command name) and the command's private data. */
typedef int(ORVEL_CDECL *orvel_command_fn)(void *interp, int argc, char **argv, void *privdata);

/* A variable as a plug-in sees it. The texts stay valid until the variable
 * is next changed or removed (or the plug-in has looked up tens of
 * thousands of other variables; keep copies, not pointers, across calls). kind: 0 auto, 1 const, 2 array, 3 struct,
 * 4 field, 5 pointer, 6 variant, 7 dict, 8 stack, 9 unknown, 10 list. */
typedef struct orvel_variable {
  const char *name;
  const char *value;
  int kind;
  int is_const;
  int is_static;
  int level;
} orvel_variable;

/* A command table entry as a plug-in sees it. kind is 1 for procedures. */
typedef struct orvel_command_info {
  const char *name;
  orvel_command_fn handler;
  void *privdata;
  int kind;
} orvel_command_info;

/* The 17 host routines, in the order _export_common_routines receives them.
 *
 *  1 get_var: the variable name (a leading :: means the global frame) in the
 *    frame at level (-1: the current frame); NULL when there is none. The
 *    returned view belongs to the host.
 *  2 set_var: assigns a scalar in the frame at level (-1: current).
 *  3 string_append: appends at most max_length characters of text (all of
 *    it when max_length <= 0) to the heap string *str (NULL starts one).
 *  4 string_free: frees a heap string and sets *str to NULL.
 *  5 frame_at_level: an opaque frame handle, or NULL.
 *  6 find_command: binary search of an array sorted by name (byte order);
 *    the 1-based position or 0.
 *  7 get_command: a view of the command, or NULL. Calling
 *    info->handler(interp, argc, argv, info->privdata) runs the command.
 *  8 split_list: splits a list; *words receives a NULL-terminated heap
 *    array of heap strings (free it with free_string_array); the flags are
 *    reserved (pass 0).
 *  9 free_string_array: frees such an array and sets *array to NULL.
 * 10 set_result: the command's result; length <= 0 takes the whole text.
 * 11 alloc, 12 free: the host's heap; everything the host hands out is
 *    freed through the host's routines, never with the plug-in's own free().
 * 13 get_element: the element's text (valid until the element changes) and
 *    *found = 1, or "" and *found = 0; flag: ignore case of the index.
 * 14 set_element: flag1 ignores the case of the index, flag2 reports a
 *    failure through the interpreter's error reporter.
 * 15 string_array_add: appends copies of add strings to a heap string array
 *    of count entries (NULL starts one), up to max_count entries when
 *    max_count > 0; keeps it NULL-terminated; returns the new count.
 * 16 delete_var: removes a scalar of the current (or, for ::name, global)
 *    frame; 1 when one was removed.
 * 17 assign: sets name or name(index), as the set command does.
 */

/*  1 */ typedef const orvel_variable *(ORVEL_CDECL *orvel_get_var_fn)(void *interp, const char *name, int level);
/*  2 */ typedef int(ORVEL_CDECL *orvel_set_var_fn)(void *interp, const char *name, const char *value, int level);
/*  3 */ typedef char *(ORVEL_CDECL *orvel_string_append_fn)(char **str, const char *text, int max_length);
/*  4 */ typedef void(ORVEL_CDECL *orvel_string_free_fn)(char **str);
/*  5 */ typedef void *(ORVEL_CDECL *orvel_frame_at_level_fn)(void *interp, int level);
/*  6 */ typedef int(ORVEL_CDECL *orvel_find_command_fn)(const orvel_command_info *const *array, int count,
                                                        const char *name, int ignored);
/*  7 */ typedef const orvel_command_info *(ORVEL_CDECL *orvel_get_command_fn)(void *interp, const char *name);
/*  8 */ typedef int(ORVEL_CDECL *orvel_split_list_fn)(const char *text, char ***words, int flag1, int flag2);
/*  9 */ typedef void(ORVEL_CDECL *orvel_free_string_array_fn)(char ***array, int count);
/* 10 */ typedef void(ORVEL_CDECL *orvel_set_result_fn)(void *interp, const char *text, int length);
/* 11 */ typedef void *(ORVEL_CDECL *orvel_alloc_fn)(size_t size);
/* 12 */ typedef void(ORVEL_CDECL *orvel_free_fn)(void *block);
/* 13 */ typedef const char *(ORVEL_CDECL *orvel_get_element_fn)(void *interp, const char *array, const char *index,
                                                               int *found, int flag);
/* 14 */ typedef int(ORVEL_CDECL *orvel_set_element_fn)(void *interp, const char *array, const char *index,
                                                       const char *value, int ignored, int flag1, int flag2);
/* 15 */ typedef int(ORVEL_CDECL *orvel_string_array_add_fn)(char ***array, int count, char **source, int add,
                                                            int max_count);
/* 16 */ typedef int(ORVEL_CDECL *orvel_delete_var_fn)(void *interp, const char *name);
/* 17 */ typedef int(ORVEL_CDECL *orvel_assign_fn)(void *interp, const char *name, const char *value);

typedef int(ORVEL_CDECL *orvel_export_common_routines_fn)(
    orvel_get_var_fn, orvel_set_var_fn, orvel_string_append_fn, orvel_string_free_fn, orvel_frame_at_level_fn,
    orvel_find_command_fn, orvel_get_command_fn, orvel_split_list_fn, orvel_free_string_array_fn,
    orvel_set_result_fn, orvel_alloc_fn, orvel_free_fn, orvel_get_element_fn, orvel_set_element_fn,
    orvel_string_array_add_fn, orvel_delete_var_fn, orvel_assign_fn);

/* Optional export _pump_events: the host calls it from its message pump
 * (doevents, vwait) and from the console key commands (inkey, getkey,
 * waitkey, pause). It handles the plug-in's pending window events without
 * waiting, stores up to max_keys keys typed into its windows in keys (as the
 * console key commands report them: 27 for Esc, 13 for Enter, printable
 * characters as their codes, extended keys as the console layer codes them)
 * and returns how many it stored. */
typedef int(ORVEL_CDECL *orvel_pump_events_fn)(int *keys, int max_keys);

#ifdef __cplusplus
}
#endif

#endif /* ORVEL_PLUGIN_H */

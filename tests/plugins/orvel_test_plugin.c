/*
 * Faulty plug-ins for the tests of the lib command, built from this one file
 * with one of these defines:
 *   TEST_BAD_ROUTINES  _export_common_routines returns 16
 *   TEST_NULL_LISTS    the command and function lists are null
 *   TEST_NO_LISTS      no list exports at all
 *   TEST_MISSING       the function list names an export that is missing
 *   TEST_CLASH         offers "puts", which clashes with a core command
 */
#include <stddef.h>

#include "orvel_plugin.h"

static orvel_set_result_fn set_result;

ORVEL_EXPORT int ORVEL_CDECL test_one(void *interp, int argc, char **argv, void *privdata) {
  (void)argc;
  (void)privdata;
  if (set_result) set_result(interp, argv[0], 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL test_puts(void *interp, int argc, char **argv, void *privdata) {
  (void)argc;
  (void)argv;
  (void)privdata;
  if (set_result) set_result(interp, "plug-in puts", 0);
  return ORVEL_OK;
}

#if defined(TEST_NULL_LISTS) || defined(TEST_NO_LISTS)
#define UNUSED_LISTS __attribute__((unused))
#else
#define UNUSED_LISTS
#endif

#if defined(TEST_CLASH)
UNUSED_LISTS static const char *commands[] = {"puts", "clash_one", NULL};
UNUSED_LISTS static const char *functions[] = {"test_puts", "test_one", NULL};
#elif defined(TEST_MISSING)
UNUSED_LISTS static const char *commands[] = {"missing_one", "missing_two", NULL};
UNUSED_LISTS static const char *functions[] = {"test_one", "test_not_there", NULL};
#else
UNUSED_LISTS static const char *commands[] = {"faulty_one", NULL};
UNUSED_LISTS static const char *functions[] = {"test_one", NULL};
#endif

#if !defined(TEST_NO_LISTS)
ORVEL_EXPORT const char **ORVEL_CDECL _get_command_list(void) {
#ifdef TEST_NULL_LISTS
  return NULL;
#else
  return commands;
#endif
}
ORVEL_EXPORT const char **ORVEL_CDECL _get_function_list(void) {
#ifdef TEST_NULL_LISTS
  return NULL;
#else
  return functions;
#endif
}
ORVEL_EXPORT int ORVEL_CDECL _get_export_count(void) { return (int)(sizeof commands / sizeof *commands) - 1; }
#endif

ORVEL_EXPORT int ORVEL_CDECL _get_dll_version(void) { return 100; }

ORVEL_EXPORT int ORVEL_CDECL _export_common_routines(
    orvel_get_var_fn r1, orvel_set_var_fn r2, orvel_string_append_fn r3, orvel_string_free_fn r4,
    orvel_frame_at_level_fn r5, orvel_find_command_fn r6, orvel_get_command_fn r7, orvel_split_list_fn r8,
    orvel_free_string_array_fn r9, orvel_set_result_fn r10, orvel_alloc_fn r11, orvel_free_fn r12,
    orvel_get_element_fn r13, orvel_set_element_fn r14, orvel_string_array_add_fn r15, orvel_delete_var_fn r16,
    orvel_assign_fn r17) {
  (void)r1, (void)r2, (void)r3, (void)r4, (void)r5, (void)r6, (void)r7, (void)r8, (void)r9;
  (void)r11, (void)r12, (void)r13, (void)r14, (void)r15, (void)r16, (void)r17;
  set_result = r10;
#ifdef TEST_BAD_ROUTINES
  return 16;
#else
  return ORVEL_HOST_ROUTINE_COUNT;
#endif
}

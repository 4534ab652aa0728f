/*
 * orvel_example - an example plug-in for the Orvel interpreter.
 *
 * It is built against include/orvel_plugin.h alone and uses every host
 * routine, so it serves both as the template for a new plug-in and as the
 * interpreter's test fixture for the `lib` command. Load it with
 *
 *     lib orvel_example
 *
 * Its commands (all begin with "ex_"):
 *
 *   ex_hello ?name?              "Hello, NAME!"            (string append/free)
 *   ex_getvar name ?level?       value of a variable       (get variable)
 *   ex_varinfo name ?level?      "kind const static level" (get variable)
 *   ex_setvar name value ?level? sets a scalar variable    (set variable)
 *   ex_assign name value         sets name or name(index)  (assign)
 *   ex_unset name                1 when a variable went    (delete variable)
 *   ex_getelem array index ?-nocase?   element value       (read element)
 *   ex_setelem array index value       sets an element     (write element)
 *   ex_level level               1 when that frame exists  (frame at level)
 *   ex_cmdinfo name              "kind" of a command, or "" (get command)
 *   ex_call name ?arg ...?       runs a command, its result (get command)
 *   ex_search name sorted...     1-based position, 0       (search commands)
 *   ex_reverse list              the list reversed         (split, add, free)
 *   ex_alloc size                fills a block, its size   (allocate, free)
 *   ex_fail message              fails with the message
 *   ex_pushkey code ?code ...?   keys handed back by the event pump
 *   ex_busy 0|1                  while 1, unloading is refused
 *   ex_initcount                 how often _lib_init ran
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "orvel_plugin.h"

/* The host routines, filled in by _export_common_routines. */
static orvel_get_var_fn get_var;
static orvel_set_var_fn set_var;
static orvel_string_append_fn string_append;
static orvel_string_free_fn string_free;
static orvel_frame_at_level_fn frame_at_level;
static orvel_find_command_fn find_command;
static orvel_get_command_fn get_command;
static orvel_split_list_fn split_list;
static orvel_free_string_array_fn free_string_array;
static orvel_set_result_fn set_result;
static orvel_alloc_fn host_alloc;
static orvel_free_fn host_free;
static orvel_get_element_fn get_element;
static orvel_set_element_fn set_element;
static orvel_string_array_add_fn string_array_add;
static orvel_delete_var_fn delete_var;
static orvel_assign_fn assign;

static int init_count;
static int busy;
static int pending_keys[64];
static int pending_count;

/* Sets the result to a message and returns ERROR. */
static int fail(void *interp, const char *message) {
  set_result(interp, message, 0);
  return ORVEL_ERROR;
}

static int usage(void *interp, char **argv, const char *args) {
  char *text = NULL;
  string_append(&text, "wrong # args: should be \"", 0);
  string_append(&text, argv[0], 0);
  string_append(&text, " ", 0);
  string_append(&text, args, 0);
  string_append(&text, "\"", 0);
  set_result(interp, text, 0);
  string_free(&text);
  return ORVEL_ERROR;
}

static int level_arg(int argc, char **argv, int at) { return argc > at ? atoi(argv[at]) : -1; }

ORVEL_EXPORT int ORVEL_CDECL example_hello(void *interp, int argc, char **argv, void *privdata) {
  char *text = NULL;
  (void)privdata;
  string_append(&text, "Hello, ", 0);
  string_append(&text, argc > 1 ? argv[1] : "world", 0);
  string_append(&text, "!!!", 1); /* at most one character of the three */
  set_result(interp, text, 0);
  string_free(&text);
  return text == NULL ? ORVEL_OK : ORVEL_ERROR;
}

ORVEL_EXPORT int ORVEL_CDECL example_getvar(void *interp, int argc, char **argv, void *privdata) {
  const orvel_variable *v;
  (void)privdata;
  if (argc < 2) return usage(interp, argv, "name ?level?");
  v = get_var(interp, argv[1], level_arg(argc, argv, 2));
  if (!v) return fail(interp, "no such variable");
  set_result(interp, v->value, 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_varinfo(void *interp, int argc, char **argv, void *privdata) {
  const orvel_variable *v;
  char text[64];
  (void)privdata;
  if (argc < 2) return usage(interp, argv, "name ?level?");
  v = get_var(interp, argv[1], level_arg(argc, argv, 2));
  if (!v) return fail(interp, "no such variable");
  snprintf(text, sizeof text, "%d %d %d %d", v->kind, v->is_const, v->is_static, v->level);
  set_result(interp, text, 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_setvar(void *interp, int argc, char **argv, void *privdata) {
  (void)privdata;
  if (argc < 3) return usage(interp, argv, "name value ?level?");
  if (set_var(interp, argv[1], argv[2], level_arg(argc, argv, 3)) != ORVEL_OK) return fail(interp, "cannot set");
  set_result(interp, argv[2], 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_assign(void *interp, int argc, char **argv, void *privdata) {
  (void)privdata;
  if (argc != 3) return usage(interp, argv, "name value");
  return assign(interp, argv[1], argv[2]);
}

ORVEL_EXPORT int ORVEL_CDECL example_unset(void *interp, int argc, char **argv, void *privdata) {
  (void)privdata;
  if (argc != 2) return usage(interp, argv, "name");
  set_result(interp, delete_var(interp, argv[1]) ? "1" : "0", 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_getelem(void *interp, int argc, char **argv, void *privdata) {
  int found = 0;
  const char *value;
  (void)privdata;
  if (argc < 3) return usage(interp, argv, "array index ?-nocase?");
  value = get_element(interp, argv[1], argv[2], &found, argc > 3 && strcmp(argv[3], "-nocase") == 0);
  if (!found) return fail(interp, "no such element");
  set_result(interp, value, 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_setelem(void *interp, int argc, char **argv, void *privdata) {
  (void)privdata;
  if (argc != 4) return usage(interp, argv, "array index value");
  if (set_element(interp, argv[1], argv[2], argv[3], 0, 0, 1) != ORVEL_OK) return ORVEL_ERROR;
  set_result(interp, argv[3], 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_level(void *interp, int argc, char **argv, void *privdata) {
  (void)privdata;
  if (argc != 2) return usage(interp, argv, "level");
  set_result(interp, frame_at_level(interp, atoi(argv[1])) ? "1" : "0", 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_cmdinfo(void *interp, int argc, char **argv, void *privdata) {
  const orvel_command_info *info;
  (void)privdata;
  if (argc != 2) return usage(interp, argv, "name");
  info = get_command(interp, argv[1]);
  if (!info || !info->handler) {
    set_result(interp, "", 0);
    return ORVEL_OK;
  }
  set_result(interp, info->kind == 1 ? "1" : "0", 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_call(void *interp, int argc, char **argv, void *privdata) {
  const orvel_command_info *info;
  (void)privdata;
  if (argc < 2) return usage(interp, argv, "name ?arg ...?");
  info = get_command(interp, argv[1]);
  if (!info || !info->handler) return fail(interp, "no such command");
  return info->handler(interp, argc - 1, argv + 1, info->privdata);
}

ORVEL_EXPORT int ORVEL_CDECL example_search(void *interp, int argc, char **argv, void *privdata) {
  orvel_command_info *entries;
  const orvel_command_info **table;
  int i, n = argc - 2, index;
  char text[32];
  (void)privdata;
  if (argc < 2) return usage(interp, argv, "name ?sorted-name ...?");
  entries = (orvel_command_info *)host_alloc(sizeof(orvel_command_info) * (size_t)(n > 0 ? n : 1));
  table = (const orvel_command_info **)host_alloc(sizeof(orvel_command_info *) * (size_t)(n > 0 ? n : 1));
  if (!entries || !table) {
    host_free(entries);
    host_free(table);
    return fail(interp, "out of memory");
  }
  for (i = 0; i < n; i++) {
    memset(&entries[i], 0, sizeof entries[i]);
    entries[i].name = argv[i + 2];
    table[i] = &entries[i];
  }
  index = find_command(table, n, argv[1], 0);
  host_free(entries);
  host_free(table);
  snprintf(text, sizeof text, "%d", index);
  set_result(interp, text, 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_reverse(void *interp, int argc, char **argv, void *privdata) {
  char **words = NULL, **reversed = NULL, *text = NULL;
  int count, i, n = 0;
  (void)privdata;
  if (argc != 2) return usage(interp, argv, "list");
  count = split_list(argv[1], &words, 0, 0);
  for (i = count - 1; i >= 0; i--) n = string_array_add(&reversed, n, &words[i], 1, 0);
  for (i = 0; i < n; i++) {
    int group = reversed[i][0] == '\0' || strchr(reversed[i], ' ') != NULL;
    if (i) string_append(&text, " ", 0);
    if (group) string_append(&text, "{", 0);
    string_append(&text, reversed[i], 0);
    if (group) string_append(&text, "}", 0);
  }
  set_result(interp, text ? text : "", 0);
  string_free(&text);
  free_string_array(&words, count);
  free_string_array(&reversed, n);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_alloc(void *interp, int argc, char **argv, void *privdata) {
  long size;
  unsigned char *block;
  char text[32];
  (void)privdata;
  if (argc != 2) return usage(interp, argv, "size");
  size = atol(argv[1]);
  if (size < 0 || size > 16 * 1024 * 1024) return fail(interp, "bad size");
  block = (unsigned char *)host_alloc((size_t)size);
  if (!block) return fail(interp, "out of memory");
  memset(block, 0xA5, (size_t)size);
  host_free(block);
  snprintf(text, sizeof text, "%ld", size);
  set_result(interp, text, 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_fail(void *interp, int argc, char **argv, void *privdata) {
  (void)privdata;
  return fail(interp, argc > 1 ? argv[1] : "failed");
}

ORVEL_EXPORT int ORVEL_CDECL example_pushkey(void *interp, int argc, char **argv, void *privdata) {
  int i;
  (void)privdata;
  for (i = 1; i < argc && pending_count < 64; i++) pending_keys[pending_count++] = atoi(argv[i]);
  set_result(interp, "", 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_busy(void *interp, int argc, char **argv, void *privdata) {
  (void)privdata;
  if (argc != 2) return usage(interp, argv, "0|1");
  busy = atoi(argv[1]) != 0;
  set_result(interp, argv[1], 0);
  return ORVEL_OK;
}

ORVEL_EXPORT int ORVEL_CDECL example_initcount(void *interp, int argc, char **argv, void *privdata) {
  char text[32];
  (void)argc;
  (void)argv;
  (void)privdata;
  snprintf(text, sizeof text, "%d", init_count);
  set_result(interp, text, 0);
  return ORVEL_OK;
}

/* The command names and, in the same order, the exports that handle them. */
static const char *command_list[] = {"ex_hello",   "ex_getvar",  "ex_varinfo", "ex_setvar",   "ex_assign",
                                     "ex_unset",   "ex_getelem", "ex_setelem", "ex_level",    "ex_cmdinfo",
                                     "ex_call",    "ex_search",  "ex_reverse", "ex_alloc",    "ex_fail",
                                     "ex_pushkey", "ex_busy",    "ex_initcount", NULL};
static const char *function_list[] = {"example_hello",   "example_getvar",  "example_varinfo", "example_setvar",
                                      "example_assign",  "example_unset",   "example_getelem", "example_setelem",
                                      "example_level",   "example_cmdinfo", "example_call",    "example_search",
                                      "example_reverse", "example_alloc",   "example_fail",    "example_pushkey",
                                      "example_busy",    "example_initcount", NULL};

ORVEL_EXPORT const char **ORVEL_CDECL _get_command_list(void) { return command_list; }
ORVEL_EXPORT const char **ORVEL_CDECL _get_function_list(void) { return function_list; }
ORVEL_EXPORT int ORVEL_CDECL _get_export_count(void) { return (int)(sizeof command_list / sizeof *command_list) - 1; }
ORVEL_EXPORT int ORVEL_CDECL _get_dll_version(void) { return 125; }
ORVEL_EXPORT const char *ORVEL_CDECL _get_dll_date(void) { return "2026-12-08"; }
ORVEL_EXPORT const char *ORVEL_CDECL _get_dll_comment(void) { return "Example plug-in using every host routine"; }
ORVEL_EXPORT void ORVEL_CDECL _lib_init(void) { init_count++; }
ORVEL_EXPORT int ORVEL_CDECL _lib_cleanup(int flag) {
  (void)flag;
  return busy ? 255 : 0;
}

ORVEL_EXPORT int ORVEL_CDECL _export_common_routines(
    orvel_get_var_fn r1, orvel_set_var_fn r2, orvel_string_append_fn r3, orvel_string_free_fn r4,
    orvel_frame_at_level_fn r5, orvel_find_command_fn r6, orvel_get_command_fn r7, orvel_split_list_fn r8,
    orvel_free_string_array_fn r9, orvel_set_result_fn r10, orvel_alloc_fn r11, orvel_free_fn r12,
    orvel_get_element_fn r13, orvel_set_element_fn r14, orvel_string_array_add_fn r15, orvel_delete_var_fn r16,
    orvel_assign_fn r17) {
  get_var = r1;
  set_var = r2;
  string_append = r3;
  string_free = r4;
  frame_at_level = r5;
  find_command = r6;
  get_command = r7;
  split_list = r8;
  free_string_array = r9;
  set_result = r10;
  host_alloc = r11;
  host_free = r12;
  get_element = r13;
  set_element = r14;
  string_array_add = r15;
  delete_var = r16;
  assign = r17;
  return ORVEL_HOST_ROUTINE_COUNT;
}

/* Called by the host while a script waits: hands back the keys queued by
 * ex_pushkey, as a plug-in with a window hands back keys typed into it. */
ORVEL_EXPORT int ORVEL_CDECL _pump_events(int *keys, int max_keys) {
  int n = pending_count < max_keys ? pending_count : max_keys, i;
  for (i = 0; i < n; i++) keys[i] = pending_keys[i];
  memmove(pending_keys, pending_keys + n, sizeof(int) * (size_t)(pending_count - n));
  pending_count -= n;
  return n;
}

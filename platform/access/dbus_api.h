// libdbus-1, loaded at run time and only when accessibility is on: its header gives the types,
// dlopen the functions. Internal to platform/access/.
#pragma once
#include <dbus/dbus.h>
#include <string>
#include "platform/kernel/shared_library.h"

#define ACCESS_DBUS_FUNCTIONS(X)                                                                       \
    X(dbus_error_init) X(dbus_error_free) X(dbus_error_is_set)                                           \
    X(dbus_connection_open_private) X(dbus_connection_close) X(dbus_connection_unref)                    \
    X(dbus_connection_set_exit_on_disconnect) X(dbus_connection_get_unix_fd)                             \
    X(dbus_connection_read_write) X(dbus_connection_pop_message) X(dbus_connection_get_dispatch_status) X(dbus_connection_dispatch) X(dbus_connection_add_filter) X(dbus_connection_send)                 \
    X(dbus_connection_get_is_connected) X(dbus_connection_has_messages_to_send)                          \
    X(dbus_connection_get_outgoing_size) X(dbus_connection_send_with_reply_and_block)                    \
    X(dbus_bus_register) X(dbus_bus_get_unique_name) X(dbus_bus_get_private)                              \
    X(dbus_message_new_method_call) X(dbus_message_new_method_return) X(dbus_message_new_error)          \
    X(dbus_message_new_signal) X(dbus_message_unref) X(dbus_message_get_type) X(dbus_message_get_path)   \
    X(dbus_message_get_interface) X(dbus_message_get_member) X(dbus_message_get_signature)               \
    X(dbus_message_get_no_reply) X(dbus_message_get_reply_serial) X(dbus_message_set_auto_start)         \
    X(dbus_message_iter_init) X(dbus_message_iter_init_append) X(dbus_message_iter_get_arg_type)         \
    X(dbus_message_iter_get_basic) X(dbus_message_iter_next) X(dbus_message_iter_recurse)                \
    X(dbus_message_iter_append_basic) X(dbus_message_iter_open_container)                               \
    X(dbus_message_iter_close_container) X(dbus_message_append_args) X(dbus_message_demarshal) X(dbus_message_marshal) X(dbus_free) X(dbus_shutdown)

struct DbusApi {
    ACCESS_DBUS_FUNCTIONS(LIBRARY_FUNCTION_FIELD)
};

// The library, loaded on first use and kept until unloaded; null when it cannot be loaded (why,
// in *error). Unloading leaves no connection behind: the caller has closed them all.
const DbusApi* LoadDbusApi(std::string* error);
void UnloadDbusApi();

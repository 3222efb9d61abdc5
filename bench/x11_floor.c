/* x11_floor: the least an X11 program can do to show a window like quorix's X11 window: connect
 * with XCB, create a window of the given size, fill a MIT-SHM segment once, map the window and
 * put the picture, then wait for WM_DELETE_WINDOW. Measured beside the calculators as the floor
 * of start-up, memory and close that the X server and libxcb alone cost.
 *   x11_floor WIDTH HEIGHT */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

static xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
    xcb_atom_t atom = r ? r->atom : XCB_NONE;
    free(r);
    return atom;
}

int main(int argc, char** argv)
{
    int w = argc > 2 ? atoi(argv[1]) : 480, h = argc > 2 ? atoi(argv[2]) : 640;
    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS"), deleteWindow = Atom(c, "WM_DELETE_WINDOW");
    xcb_window_t win = xcb_generate_id(c);
    uint32_t values[] = {XCB_BACK_PIXMAP_NONE, XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, 24, win, screen->root, 0, 0, (uint16_t)w, (uint16_t)h, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK, values);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, 20,
                        "x11_floor\0x11_floor\0");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, protocols, XCB_ATOM_ATOM, 32, 1, &deleteWindow);
    xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, win, 0, NULL);
    size_t bytes = (size_t)w * (size_t)h * 4;
    int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    uint32_t* pixels = id >= 0 ? shmat(id, NULL, 0) : NULL;
    if (!pixels || pixels == (void*)-1) return 1;
    for (size_t i = 0; i < bytes / 4; ++i) pixels[i] = (i / (size_t)w) % 32 < 16 ? 0x00C0E0FFu : 0x00FFFFFFu;
    xcb_shm_seg_t seg = xcb_generate_id(c);
    xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_checked(c, seg, (uint32_t)id, 1));
    shmctl(id, IPC_RMID, NULL);
    if (error) return 1;
    xcb_map_window(c, win);
    xcb_shm_put_image(c, win, gc, (uint16_t)w, (uint16_t)h, 0, 0, (uint16_t)w, (uint16_t)h, 0, 0, 24,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 0, seg, 0);
    xcb_flush(c);
    for (xcb_generic_event_t* e; (e = xcb_wait_for_event(c)); free(e)) {
        if ((e->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
            ((xcb_client_message_event_t*)e)->data.data32[0] == deleteWindow) {
            free(e);
            break;
        }
    }
    xcb_disconnect(c);
    return 0;
}

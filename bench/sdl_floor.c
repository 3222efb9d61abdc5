/* sdl_floor: the least an SDL2 window costs, as a reference beside the calculator's own figures.
 *
 *   sdl_floor [WIDTH HEIGHT]     (default 480 x 640, the calculator's window at scale 2)
 *
 * Opens one window with the hints the calculator's SDL backend sets (no OpenGL probe, X11 only),
 * fills its window surface once (in two colours), shows it, and waits for events until the window is closed; exits 0.
 * Whatever memory and start-up time this shows is SDL's and its libraries', not the calculator's.
 * Knowingly lacks: everything else (no drawing after the first frame, no input handling). */
#include <SDL.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    int width = argc > 2 ? atoi(argv[1]) : 480;
    int height = argc > 2 ? atoi(argv[2]) : 640;
    if (width <= 0 || height <= 0) {
        fprintf(stderr, "usage: sdl_floor [WIDTH HEIGHT]\n");
        return 2;
    }
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "sdl_floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("sdl_floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                          SDL_WINDOW_HIDDEN);
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : NULL;
    if (!surface) {
        fprintf(stderr, "sdl_floor: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_ShowWindow(window);
    /* Two colours, so that the frame counts as content and not as a background fill. */
    SDL_FillRect(surface, NULL, SDL_MapRGB(surface->format, 0xC0, 0xC0, 0xC0));
    SDL_Rect half = {0, 0, width, height / 2};
    SDL_FillRect(surface, &half, SDL_MapRGB(surface->format, 0xC0, 0xE0, 0xFF));
    SDL_UpdateWindowSurface(window);
    SDL_Event e;
    while (SDL_WaitEvent(&e)) {
        if (e.type == SDL_QUIT) break;
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) SDL_UpdateWindowSurface(window);
    }
    /* As the calculator does: hidden, not destroyed. SDL ends its waits with events sent over a
     * second X connection; one still on its way to a destroyed window comes back as an X error,
     * and Xlib ends the process with status 1 for it. */
    SDL_HideWindow(window);
    return 0;
}

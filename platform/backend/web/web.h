// The web backend: the layer's windows as panels of a web page (a canvas
// each, the menu bar above it), input from the page's handlers, real time
// from the browser. web_page.js is the page's side of it.
#pragma once

namespace portable_win32 {

struct Backend;

const Backend &web_backend();

} // namespace portable_win32

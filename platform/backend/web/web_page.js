// The page's side of the web backend (web_backend.cpp): each window of the
// program as a panel with a menu bar and a canvas, the page's clicks and keys
// turned into the layer's input, the wait that suspends the program, and
// DOVRA.SCR kept in the browser's storage. Loaded before the program's code.
'use strict';

(function () {
    // The layer's input kinds (BackendInput::Kind).
    var CLICK = 0, KEY_DOWN = 1, KEY_UP = 2, MENU_COMMAND = 3, CLOSE = 4;
    var VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PACKET = 0xE7;
    var SCRIPT = 'DOVRA.SCR';
    var STORAGE_KEY = 'DOVRA.SCR ' + location.pathname;
    var LARGEST_SCRIPT = 16 * 1024 * 1024;

    // Windows-1252 characters 0x80..0x9F by code point.
    var HIGH = [0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
                0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D,
                0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E,
                0x0178];

    function cp1252Byte(codePoint) {
        if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return codePoint;
        var i = HIGH.indexOf(codePoint);
        return i >= 0 && codePoint !== 0 ? 0x80 + i : 0;
    }

    function cp1252Text(text) {
        var out = '';
        for (var i = 0; i < text.length; i++) {
            var c = text.charCodeAt(i);
            out += String.fromCharCode(c >= 0x80 && c < 0xA0 && HIGH[c - 0x80] ? HIGH[c - 0x80] : c);
        }
        return out;
    }

    // Virtual-key codes of keys whose code is not their character.
    var NAMED_KEYS = {
        Backspace: 0x08, Tab: 0x09, Enter: 0x0D, Shift: VK_SHIFT, Control: VK_CONTROL,
        Alt: VK_MENU, Pause: 0x13, CapsLock: 0x14, Escape: 0x1B, ' ': 0x20, PageUp: 0x21,
        PageDown: 0x22, End: 0x23, Home: 0x24, ArrowLeft: 0x25, ArrowUp: 0x26,
        ArrowRight: 0x27, ArrowDown: 0x28, Insert: 0x2D, Delete: 0x2E, Meta: 0x5B,
        ContextMenu: 0x5D, NumLock: 0x90, ScrollLock: 0x91
    };
    var PUNCTUATION_CODES = {
        Semicolon: 0xBA, Equal: 0xBB, Comma: 0xBC, Minus: 0xBD, Period: 0xBE, Slash: 0xBF,
        Backquote: 0xC0, BracketLeft: 0xDB, Backslash: 0xDC, BracketRight: 0xDD, Quote: 0xDE
    };
    // Characters that Windows types for these keys.
    var KEY_CHARACTERS = {Backspace: 8, Tab: 9, Enter: 13, Escape: 27};

    function virtualKey(event, ch) {
        var key = event.key;
        if (key.length === 1 && /[a-z]/i.test(key)) return key.toUpperCase().charCodeAt(0);
        if (/^Key[A-Z]$/.test(event.code)) return event.code.charCodeAt(3);
        if (/^Digit[0-9]$/.test(event.code)) return event.code.charCodeAt(5);
        if (/^Numpad[0-9]$/.test(event.code)) return 0x60 + event.code.charCodeAt(6) - 48;
        if (/^F([1-9]|1[0-9]|2[0-4])$/.test(key)) return 0x6F + parseInt(key.substring(1), 10);
        if (NAMED_KEYS.hasOwnProperty(key)) return NAMED_KEYS[key];
        if (PUNCTUATION_CODES.hasOwnProperty(event.code)) return PUNCTUATION_CODES[event.code];
        return ch !== 0 ? VK_PACKET : 0;
    }

    // The Windows-1252 character a key down types, as TranslateMessage gives it.
    function typedCharacter(event) {
        if (KEY_CHARACTERS.hasOwnProperty(event.key)) return KEY_CHARACTERS[event.key];
        var chars = Array.from(event.key);
        if (chars.length !== 1) return 0;
        var code = chars[0].codePointAt(0);
        if (event.ctrlKey && !event.altKey) {
            // Ctrl with a letter types its control character (Ctrl+R is 18).
            return /[a-z]/i.test(chars[0]) ? code & 0x1F : 0;
        }
        return cp1252Byte(code);
    }

    var page = {
        windows: [],
        wake: null,
        ended: null,
        framesShown: 0,
        firstFrameMs: null,
        openMenu: null,
        storedStamp: null
    };

    function element(tag, className, parent) {
        var e = document.createElement(tag);
        if (className) e.className = className;
        if (parent) parent.appendChild(e);
        return e;
    }

    function status(text) {
        var s = document.getElementById('dovra-status');
        if (s) s.textContent = text;
    }

    function send(kind, id, x, y, vk, ch, command) {
        if (page.ended !== null) return;
        Module._dovra_web_input(kind, id, x | 0, y | 0, vk | 0, ch | 0, command | 0, 0, 0);
        if (page.wake) page.wake();
        else if (turnEnded) endTurn();
    }

    // Whole device pixels per client pixel: the backing store is drawn at
    // that multiple, nearest pixel, so the canvas is never blurred.
    function deviceScale() {
        return Math.max(1, Math.ceil((window.devicePixelRatio || 1) - 0.001));
    }

    function sizeCanvas(w) {
        var scale = deviceScale();
        w.scale = scale;
        w.canvas.width = w.width * scale;
        w.canvas.height = w.height * scale;
        w.canvas.style.width = w.width + 'px';
        w.canvas.style.height = w.height + 'px';
        w.context = w.canvas.getContext('2d');
        w.context.imageSmoothingEnabled = false;
    }

    function redraw(w) {
        if (!w.image) return;
        if (w.scale === 1) {
            w.context.putImageData(w.image, 0, 0);
            return;
        }
        w.source.getContext('2d').putImageData(w.image, 0, 0);
        w.context.imageSmoothingEnabled = false;
        w.context.drawImage(w.source, 0, 0, w.canvas.width, w.canvas.height);
    }

    function updateTitle() {
        for (var i = 0; i < page.windows.length; i++) {
            var w = page.windows[i];
            if (w && !w.panel.hidden) {
                document.title = w.title;
                return;
            }
        }
    }

    page.createWindow = function (id, title, width, height) {
        var host = document.getElementById('dovra-windows') || document.body;
        var w = {id: id, title: cp1252Text(title), width: width, height: height, image: null};
        w.panel = element('section', 'dovra-window', host);
        w.panel.hidden = true;
        w.panel.setAttribute('aria-label', w.title);
        element('div', 'dovra-caption', w.panel).textContent = w.title;
        w.menuBar = element('div', 'dovra-menu-bar', w.panel);
        w.menuBar.setAttribute('role', 'menubar');
        w.menuBar.hidden = true;
        w.menus = [];
        w.canvas = element('canvas', 'dovra-client', w.panel);
        w.canvas.id = 'dovra-canvas-' + id;
        w.canvas.dataset.title = w.title;
        w.canvas.tabIndex = 0;
        w.source = document.createElement('canvas');
        w.source.width = width;
        w.source.height = height;
        sizeCanvas(w);
        w.canvas.addEventListener('mousedown', function (event) {
            if (event.button !== 0) return;
            // The position first: focusing may scroll the page.
            var r = w.canvas.getBoundingClientRect();
            var x = Math.floor((event.clientX - r.left) * w.width / r.width);
            var y = Math.floor((event.clientY - r.top) * w.height / r.height);
            closeMenu();
            w.canvas.focus({preventScroll: true});
            event.preventDefault();
            send(CLICK, id, x, y, 0, 0, 0);
        });
        page.windows[id] = w;
    };

    page.showWindow = function (id, visible) {
        var w = page.windows[id];
        if (!w) return;
        w.panel.hidden = !visible;
        updateTitle();
    };

    page.resizeWindow = function (id, width, height) {
        var w = page.windows[id];
        if (!w) return;
        w.width = width;
        w.height = height;
        w.source.width = width;
        w.source.height = height;
        sizeCanvas(w);
    };

    page.destroyWindow = function (id) {
        var w = page.windows[id];
        if (!w) return;
        if (page.openMenu && page.openMenu.window === w) closeMenu();
        w.panel.remove();
        page.windows[id] = null;
        updateTitle();
    };

    // Client pixels 0x00RRGGBB into the canvas, opaque.
    page.present = function (id, pixels, width, height) {
        var w = page.windows[id];
        if (!w) return;
        if (!w.image || w.image.width !== width || w.image.height !== height) {
            w.image = new ImageData(width, height);
            w.rgba = new Uint32Array(w.image.data.buffer);
            w.source.width = width;
            w.source.height = height;
        }
        var out = w.rgba;
        for (var i = 0, n = width * height; i < n; i++) {
            var p = pixels[i];
            out[i] = 0xFF000000 | ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >>> 16) & 0xFF);
        }
        redraw(w);
        // Since the start of the page's navigation: how soon it shows anything.
        if (page.framesShown === 0) page.firstFrameMs = performance.now();
        page.framesShown++;
    };

    // ---- The menu bar: the window's menu as the program keeps it. ----

    // "&Run" as text with its mnemonic underlined; "&&" is an ampersand.
    function labelled(parent, text) {
        var mnemonic = '';
        for (var i = 0; i < text.length; i++) {
            var c = text[i];
            if (c === '&' && i + 1 < text.length) {
                i++;
                if (text[i] !== '&' && !mnemonic) {
                    mnemonic = text[i].toLowerCase();
                    element('u', '', parent).textContent = text[i];
                    continue;
                }
                c = text[i];
            }
            parent.appendChild(document.createTextNode(c));
        }
        return mnemonic;
    }

    function closeMenu() {
        if (!page.openMenu) return;
        page.openMenu.popup.remove();
        page.openMenu.button.classList.remove('open');
        page.openMenu = null;
    }

    function choose(menuWindow, item) {
        closeMenu();
        if (item.grayed || item.items) return;
        menuWindow.canvas.focus({preventScroll: true});
        send(MENU_COMMAND, menuWindow.id, 0, 0, 0, 0, item.id);
    }

    function highlight(index) {
        var open = page.openMenu;
        open.rows.forEach(function (row, i) { row.classList.toggle('active', i === index); });
        open.active = index;
    }

    function openMenu(w, entry, viaKeyboard) {
        closeMenu();
        var popup = element('div', 'dovra-menu', document.body);
        popup.setAttribute('role', 'menu');
        var r = entry.button.getBoundingClientRect();
        popup.style.left = (r.left + window.scrollX) + 'px';
        popup.style.top = (r.bottom + window.scrollY) + 'px';
        var rows = [], choices = [];
        entry.item.items.forEach(function (item) {
            if (item.separator) {
                element('div', 'dovra-separator', popup).setAttribute('role', 'separator');
                return;
            }
            var row = element('div', 'dovra-item', popup);
            row.setAttribute('role', 'menuitemcheckbox');
            row.setAttribute('aria-checked', item.checked ? 'true' : 'false');
            if (item.grayed) {
                row.classList.add('grayed');
                row.setAttribute('aria-disabled', 'true');
            }
            element('span', 'dovra-check', row).textContent = item.checked ? '\u2713' : '';
            var text = item.text.split('\t');
            var mnemonic = labelled(element('span', 'dovra-label', row), cp1252Text(text[0]));
            element('span', 'dovra-shortcut', row).textContent = cp1252Text(text.slice(1).join('\t'));
            row.addEventListener('mousedown', function (event) { event.preventDefault(); });
            row.addEventListener('click', function () { choose(w, item); });
            row.addEventListener('mouseenter', function () { highlight(rows.indexOf(row)); });
            rows.push(row);
            choices.push({item: item, mnemonic: mnemonic});
        });
        entry.button.classList.add('open');
        page.openMenu = {window: w, entry: entry, popup: popup, button: entry.button,
                         rows: rows, choices: choices, active: -1};
        if (viaKeyboard) highlight(nextChoice(-1, 1));
    }

    function nextChoice(from, step) {
        var open = page.openMenu, n = open.choices.length;
        for (var k = 1; k <= n; k++) {
            var i = ((from + step * k) % n + n) % n;
            if (!open.choices[i].item.grayed) return i;
        }
        return from;
    }

    // Keys while a menu is open: arrows, Enter, Escape and mnemonics.
    function menuKey(event) {
        var open = page.openMenu;
        var menus = open.window.menus;
        var at = menus.indexOf(open.entry);
        if (event.key === 'Escape') {
            closeMenu();
        } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
            highlight(nextChoice(open.active, event.key === 'ArrowDown' ? 1 : -1));
        } else if (event.key === 'ArrowLeft' || event.key === 'ArrowRight') {
            var next = menus[(at + (event.key === 'ArrowRight' ? 1 : menus.length - 1)) % menus.length];
            if (next.item.items) openMenu(open.window, next, true);
        } else if (event.key === 'Enter') {
            if (open.active >= 0) choose(open.window, open.choices[open.active].item);
        } else if (event.key.length === 1) {
            var letter = event.key.toLowerCase();
            var found = open.choices.filter(function (c) { return c.mnemonic === letter; });
            if (found.length) choose(open.window, found[0].item);
        }
    }

    page.setMenu = function (id, description) {
        var w = page.windows[id];
        if (!w) return;
        var wasOpen = page.openMenu && page.openMenu.window === w ?
            w.menus.indexOf(page.openMenu.entry) : -1;
        var active = wasOpen >= 0 ? page.openMenu.active : -1;
        if (wasOpen >= 0) closeMenu();
        w.menuBar.textContent = '';
        w.menus = [];
        JSON.parse(description).forEach(function (item) {
            if (item.separator) return;
            var button = element('button', 'dovra-menu-title', w.menuBar);
            button.type = 'button';
            button.tabIndex = -1;
            button.setAttribute('role', 'menuitem');
            var entry = {item: item, button: button, mnemonic: labelled(button, cp1252Text(item.text))};
            button.disabled = !!item.grayed;
            button.addEventListener('mousedown', function (event) {
                event.preventDefault();
                if (page.openMenu && page.openMenu.entry === entry) closeMenu();
                else if (item.items) openMenu(w, entry, false);
                else choose(w, item);
            });
            w.menus.push(entry);
        });
        w.menuBar.hidden = w.menus.length === 0;
        if (wasOpen >= 0 && wasOpen < w.menus.length && w.menus[wasOpen].item.items) {
            // The menu changed while open (a check mark moved): shown again.
            openMenu(w, w.menus[wasOpen], false);
            if (active >= 0) highlight(active);
        }
    };

    function graphicsWindow() {
        var focused = page.windows.filter(function (w) {
            return w && !w.panel.hidden && w.canvas === document.activeElement;
        });
        if (focused.length) return focused[0];
        var withMenu = page.windows.filter(function (w) { return w && !w.panel.hidden && w.menus.length; });
        if (withMenu.length) return withMenu[0];
        return page.windows.filter(function (w) { return w && !w.panel.hidden; })[0];
    }

    var modifiersDown = {};
    var keysDown = {};

    function keyDown(event) {
        if (event.target && /^(INPUT|TEXTAREA|SELECT)$/.test(event.target.tagName)) return;
        if (page.openMenu) {
            event.preventDefault();
            menuKey(event);
            return;
        }
        var w = graphicsWindow();
        if (!w) return;
        if (event.altKey && !event.ctrlKey && event.key.length === 1) {
            // Alt with a mnemonic opens that menu of the bar, as on Windows.
            var letter = event.key.toLowerCase();
            var entry = w.menus.filter(function (m) { return m.mnemonic === letter; })[0];
            if (entry) {
                event.preventDefault();
                if (entry.item.items) openMenu(w, entry, true);
                else choose(w, entry.item);
                return;
            }
        }
        var ch = typedCharacter(event);
        var vk = virtualKey(event, ch);
        if (vk === 0) return;
        // A key of the program's: the browser's own meaning (reload, print,
        // address bar, scrolling, focus moves) must not act on it.
        event.preventDefault();
        if (vk >= VK_SHIFT && vk <= VK_MENU) modifiersDown[vk] = true;
        keysDown[vk] = true;
        send(KEY_DOWN, w.id, 0, 0, vk, ch, 0);
    }

    // A key the program saw go down sees its release too, even when a menu
    // opened meanwhile (Alt+R): else the program would hold Alt down for ever.
    function keyUp(event) {
        var w = graphicsWindow();
        if (!w) return;
        var vk = virtualKey(event, typedCharacter(event));
        if (vk === 0 || (page.openMenu && !keysDown[vk])) return;
        event.preventDefault();
        delete keysDown[vk];
        if (vk >= VK_SHIFT && vk <= VK_MENU) delete modifiersDown[vk];
        send(KEY_UP, w.id, 0, 0, vk, 0, 0);
    }

    // Modifiers let go while the page could not see it (another window).
    function releaseModifiers() {
        var w = graphicsWindow();
        Object.keys(modifiersDown).forEach(function (vk) {
            if (w) send(KEY_UP, w.id, 0, 0, vk | 0, 0, 0);
        });
        modifiersDown = {};
        keysDown = {};
    }

    // ---- DOVRA.SCR in the browser's storage, for this page. ----

    function bytesToText(bytes) {
        var parts = [];
        for (var i = 0; i < bytes.length; i += 8192) {
            parts.push(String.fromCharCode.apply(null, bytes.subarray(i, i + 8192)));
        }
        return parts.join('');
    }

    function textToBytes(text) {
        var bytes = new Uint8Array(text.length);
        for (var i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i) & 0xFF;
        return bytes;
    }

    // Keeps the storage's copy equal to the program's file; cheap when
    // nothing changed.
    page.syncScript = function () {
        var info;
        try {
            info = FS.stat(SCRIPT);
        } catch (e) {
            return;
        }
        var stamp = info.size + ' ' + (info.mtime && info.mtime.getTime ? info.mtime.getTime() : info.mtime);
        if (stamp === page.storedStamp) return;
        try {
            localStorage.setItem(STORAGE_KEY, bytesToText(FS.readFile(SCRIPT)));
            page.storedStamp = stamp;
        } catch (e) {
            status('The script could not be kept in the browser\'s storage: ' + e.message);
        }
    };

    function restoreScript() {
        var stored = null;
        try {
            stored = localStorage.getItem(STORAGE_KEY);
        } catch (e) {
            status('The browser\'s storage cannot be read: ' + e.message);
        }
        if (stored !== null) FS.writeFile(SCRIPT, textToBytes(stored));
    }

    page.downloadScript = function () {
        var bytes;
        try {
            bytes = FS.readFile(SCRIPT);
        } catch (e) {
            status('No script yet: Record Script (Ctrl+R) writes one.');
            return;
        }
        var link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
        link.download = SCRIPT;
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(function () { URL.revokeObjectURL(link.href); }, 1000);
    };

    page.loadScript = function (file) {
        if (!file) return;
        if (file.size > LARGEST_SCRIPT) {
            status('"' + file.name + '" is too large for a script (' + file.size + ' bytes; at most ' +
                   LARGEST_SCRIPT + ').');
            return;
        }
        file.arrayBuffer().then(function (buffer) {
            FS.writeFile(SCRIPT, new Uint8Array(buffer));
            page.syncScript();
            status('Loaded "' + file.name + '" as ' + SCRIPT + ' (' + buffer.byteLength +
                   ' bytes): Playback Script (Ctrl+P) plays it.');
        }, function (e) {
            status('"' + file.name + '" cannot be read: ' + e.message);
        });
    };

    // A replay asked for in the address (?replay=...): the script's text,
    // played from start-up as DOVRA_REPLAY plays it.
    function replayFromAddress() {
        var text = new URLSearchParams(location.search).get('replay');
        if (text === null) return;
        FS.writeFile('/replay.scr', new TextEncoder().encode(text));
        ENV.DOVRA_REPLAY = '/replay.scr';
    }

    // ---- The wait: the program sleeps until input or its next timer. ----

    page.wait = function (timeoutMs) {
        page.syncScript();
        return new Promise(function (resolve) {
            var timer = null;
            page.wake = function () {
                page.wake = null;
                if (timer !== null) clearTimeout(timer);
                resolve();
            };
            if (timeoutMs >= 0) timer = setTimeout(page.wake, timeoutMs);
        });
    };

    // A short turn for the page while the program polls: a message posted
    // to itself comes back after the handlers waiting and the next paint.
    var turns = new MessageChannel();
    var turnEnded = null;
    function endTurn() {
        var resume = turnEnded;
        turnEnded = null;
        if (resume) resume();
    }
    turns.port1.onmessage = endTurn;
    page.breathe = function () {
        page.syncScript();
        return new Promise(function (resolve) {
            turnEnded = resolve;
            // After the next paint; in a hidden page, which paints nothing,
            // after a tenth of a second.
            var asked = false;
            var ask = function () {
                if (!asked) turns.port2.postMessage(0);
                asked = true;
            };
            requestAnimationFrame(ask);
            setTimeout(ask, 100);
        });
    };

    page.finished = function (exitCode) {
        page.syncScript();
        closeMenu();
        page.ended = exitCode;
        document.body.dataset.exitCode = String(exitCode);
        status('The program has ended' + (exitCode ? ' (exit code ' + exitCode + ').' : '.'));
    };

    Module.dovraPage = page;
    Module.preRun = (Module.preRun || []).concat([function () {
        restoreScript();
        replayFromAddress();
    }]);
    // exit() in the program (a replay stopped by a line it cannot play)
    // ends it here: the runtime stays, as the page does. The runtime also
    // comes here when main has only been suspended in the wait (Asyncify then
    // holds its stack): that is no end.
    Module.quit = function (code, toThrow) {
        var suspended = typeof Asyncify !== 'undefined' && Asyncify.currData;
        if (page.ended === null && !suspended) {
            Module._dovra_web_ended();
            page.finished(code);
        }
        throw toThrow;
    };
    Module.printErr = function (text) {
        console.error(text);
        if (/^DOVRA replay:/.test(text)) status(text);
    };

    document.addEventListener('keydown', keyDown, true);
    document.addEventListener('keyup', keyUp, true);
    window.addEventListener('blur', releaseModifiers);
    document.addEventListener('mousedown', function (event) {
        if (page.openMenu && !page.openMenu.popup.contains(event.target)) closeMenu();
    });
    // Leaving or closing the page ends the program as the graphics window's
    // close box does. The close wakes it at once and it runs to its end in
    // promise callbacks, which still run before the page goes: it writes the
    // recording's pending tick run and shuts down, and finished() keeps the
    // script in the storage. A program that is busy elsewhere (a playback
    // between two turns) keeps at least what it has recorded so far.
    function leavePage() {
        if (page.ended === null) {
            var w = page.windows.filter(function (w) { return w && w.menus.length; })[0] ||
                    page.windows.filter(function (w) { return w; })[0];
            if (w) send(CLOSE, w.id, 0, 0, 0, 0, 0);
        }
        page.syncScript();
    }
    window.addEventListener('pagehide', leavePage);
    window.addEventListener('resize', function () {
        page.windows.forEach(function (w) {
            if (w && w.scale !== deviceScale()) {
                sizeCanvas(w);
                redraw(w);
            }
        });
    });
})();

// Browser tests of the web pages, in Debian's headless Chromium: each page
// loads and shows its first frame; scripts replayed in the cone builder's
// page give exactly the native headless replay's picture; keys reach the
// program and are kept from the browser; a recording made in the page lands
// in the browser's storage, survives a reload and replays natively to the
// page's picture; leaving the page ends the program as the close box does;
// a native recording (native_recording.scr: the cone builder under Xvfb,
// Ctrl+R, Add Scoop twice, Add Topping, a click on the scoops, "q", Ctrl+R,
// driven by xdotool) plays in the page with Ctrl+P to the native picture.
// Prints each check's result and a count at the end.
//
//   node tests/web/browser_test.mjs WEB-BUILD NATIVE-PROGRAM
//
// WEB-BUILD is the web preset's folder (build/web), NATIVE-PROGRAM the
// native cone builder (build/linux/app/cone_builder). Exit code 0 when all
// checks pass.
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {launch, serve} from './devtools.mjs';
import {readPng} from './png.mjs';

const [webBuild, nativeProgram] = process.argv.slice(2).map(p => p && path.resolve(p));
if (!webBuild || !nativeProgram) {
    console.error('usage: browser_test.mjs WEB-BUILD NATIVE-PROGRAM');
    process.exit(2);
}
for (const [what, file] of [['the web build', path.join(webBuild, 'cone_builder', 'index.html')],
                            ['the native cone builder', nativeProgram]]) {
    if (!fs.existsSync(file)) {
        console.error(`browser_test: ${what} is missing (${file}); build it first`);
        process.exit(2);
    }
}

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'dovra-web-test-'));
let passed = 0, failed = 0;
function report(name, ok, detail = '') {
    console.log(`${ok ? 'PASS' : 'FAIL'}  ${name}${detail ? ': ' + detail : ''}`);
    if (ok) passed++;
    else failed++;
}
async function check(name, body) {
    try {
        const detail = await body();
        report(name, true, detail || '');
    } catch (e) {
        report(name, false, e.message);
    }
}

// The native headless replay's last picture of a script.
function nativePicture(script, name) {
    const scriptFile = path.join(scratch, `${name}.scr`);
    const picture = path.join(scratch, `${name}.png`);
    fs.writeFileSync(scriptFile, script);
    execFileSync(nativeProgram, [], {
        cwd: scratch, stdio: ['ignore', 'ignore', 'pipe'],
        env: {...process.env, DOVRA_REPLAY: scriptFile, DOVRA_REPLAY_PICTURE: picture}
    });
    return readPng(picture);
}

// The client pixels the page shows for window `id`, one per client pixel
// (the canvas holds whole multiples of them).
async function pagePicture(page, id = 0) {
    const encoded = await page.evaluate(`(() => {
        const canvas = document.getElementById('dovra-canvas-${id}');
        const w = Module.dovraPage.windows[${id}];
        const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        const out = new Uint8Array(w.width * w.height * 3);
        for (let y = 0; y < w.height; y++) for (let x = 0; x < w.width; x++) {
            const i = ((y * w.scale) * canvas.width + x * w.scale) * 4, o = (y * w.width + x) * 3;
            out[o] = data[i]; out[o + 1] = data[i + 1]; out[o + 2] = data[i + 2];
        }
        let text = '';
        for (let i = 0; i < out.length; i += 8192) text += String.fromCharCode(...out.subarray(i, i + 8192));
        return JSON.stringify({width: w.width, height: w.height, rgb: btoa(text)});
    })()`);
    const {width, height, rgb} = JSON.parse(encoded);
    const bytes = Buffer.from(rgb, 'base64');
    const pixels = new Uint32Array(width * height);
    for (let i = 0; i < pixels.length; i++) {
        pixels[i] = (bytes[3 * i] << 16) | (bytes[3 * i + 1] << 8) | bytes[3 * i + 2];
    }
    return {width, height, pixels};
}

function compare(expected, actual) {
    if (expected.width !== actual.width || expected.height !== actual.height) {
        throw new Error(`size ${actual.width} x ${actual.height}, expected ` +
                        `${expected.width} x ${expected.height}`);
    }
    let different = 0, first = -1;
    for (let i = 0; i < expected.pixels.length; i++) {
        if (expected.pixels[i] !== actual.pixels[i]) {
            different++;
            if (first < 0) first = i;
        }
    }
    if (different) {
        const x = first % expected.width, y = Math.floor(first / expected.width);
        const hex = v => v.toString(16).padStart(6, '0');
        throw new Error(`${different} of ${expected.pixels.length} pixels differ; the first at ` +
                        `(${x}, ${y}): page ${hex(actual.pixels[first])}, ` +
                        `native ${hex(expected.pixels[first])}`);
    }
    return `${expected.width} x ${expected.height} pixels equal`;
}

// Scripts replayed both ways: the start scene with the animation halted,
// and one that presses buttons, places a topping and types a character.
const REPLAYS = [
    ['start scene', 'DOVRA_PERIODIC(1);\n'],
    ['scoops and a topping',
     'DOVRA_MOUSE(-250, 233);\nDOVRA_MOUSE(-250, 233);\nDOVRA_MOUSE(-250, 183);\n' +
     'DOVRA_MOUSE(0, -20);\nDOVRA_PERIODIC(7);\nDOVRA_KBD(113);\nDOVRA_PERIODIC(2);\n'],
];

const {server, origin} = await serve(webBuild);
const browser = await launch();
try {
    const page = await browser.page();
    const address = `${origin}/cone_builder/index.html`;

    await check('the cone builder page loads and shows its first frame', async () => {
        await page.navigate(address);
        await page.waitFor('window.Module && Module.dovraPage && Module.dovraPage.framesShown > 0');
        const ms = Math.round(await page.evaluate('Module.dovraPage.firstFrameMs'));
        const facts = await page.evaluate(`JSON.stringify({
            title: document.title,
            css: [document.getElementById('dovra-canvas-0').style.width,
                  document.getElementById('dovra-canvas-0').style.height],
            rendering: getComputedStyle(document.getElementById('dovra-canvas-0')).imageRendering,
            panels: [...document.querySelectorAll('.dovra-window')].map(p => !p.hidden)})`);
        const f = JSON.parse(facts);
        if (f.title !== 'DOVRA Graphics') throw new Error(`title "${f.title}"`);
        if (f.css.join() !== '595px,496px') throw new Error(`canvas of ${f.css.join(' x ')}`);
        if (f.rendering !== 'pixelated') throw new Error(`image-rendering ${f.rendering}`);
        if (f.panels.join() !== 'true,false') throw new Error(`panels shown: ${f.panels.join()}`);
        if (page.errors.length) throw new Error(page.errors.join('; '));
        return `first frame ${ms} ms after the navigation began; log panel hidden as the program hides it`;
    });

    for (const [name, script] of REPLAYS) {
        await check(`replay "${name}": page equals the native picture`, async () => {
            const expected = nativePicture(script, name.replace(/\W+/g, '-'));
            await page.navigate(`${address}?replay=${encodeURIComponent(script)}`);
            await page.waitFor('document.body.dataset.exitCode !== undefined');
            const code = await page.evaluate('document.body.dataset.exitCode');
            if (code !== '0') throw new Error(`the page's program ended with ${code}`);
            return compare(expected, await pagePicture(page));
        });
    }

    await check('on a screen of 2 device pixels a pixel, the canvas holds 2 x 2 of each, equal', async () => {
        const script = REPLAYS[1][1];
        const expected = nativePicture(script, 'scaled');
        await page.send('Emulation.setDeviceMetricsOverride',
                        {width: 1000, height: 800, deviceScaleFactor: 2, mobile: false});
        try {
            await page.navigate(`${address}?replay=${encodeURIComponent(script)}`);
            await page.waitFor('document.body.dataset.exitCode !== undefined');
            const size = await page.evaluate(`(() => { const c = document.getElementById('dovra-canvas-0');
                return [c.width, c.height, c.style.width, c.style.height].join(); })()`);
            if (size !== '1190,992,595px,496px') throw new Error(`canvas ${size}`);
            // Every device pixel of a client pixel's 2 x 2 block is that pixel.
            const uneven = await page.evaluate(`(() => { const c = document.getElementById('dovra-canvas-0');
                const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data; let n = 0;
                for (let y = 0; y < c.height; y++) for (let x = 0; x < c.width; x++) {
                    const i = (y * c.width + x) * 4, j = ((y & ~1) * c.width + (x & ~1)) * 4;
                    if (d[i] !== d[j] || d[i + 1] !== d[j + 1] || d[i + 2] !== d[j + 2]) n++;
                }
                return n; })()`);
            if (uneven) throw new Error(`${uneven} device pixels differ from their client pixel`);
            return compare(expected, await pagePicture(page));
        } finally {
            await page.send('Emulation.clearDeviceMetricsOverride');
        }
    });

    await check('a replay line it cannot play ends the page\'s run with code 3', async () => {
        await page.navigate(`${address}?replay=${encodeURIComponent('DOVRA_MOUSE(1;\n')}`);
        await page.waitFor('document.body.dataset.exitCode !== undefined');
        const code = await page.evaluate('document.body.dataset.exitCode');
        if (code !== '3') throw new Error(`exit code ${code}`);
    });

    // A live page: its storage for the script starts empty.
    await page.navigate(address);
    await page.evaluate('localStorage.clear()');
    await page.reload();
    await page.waitFor('Module.dovraPage && Module.dovraPage.framesShown > 0');
    await page.evaluate('window.notReloaded = true');

    const ctrl = async (letter, tab = page) => {
        const code = letter.toUpperCase().charCodeAt(0);
        await tab.key('rawKeyDown', {key: 'Control', code: 'ControlLeft', windowsVirtualKeyCode: 17, modifiers: 2});
        await tab.key('rawKeyDown', {key: letter, code: `Key${letter.toUpperCase()}`, windowsVirtualKeyCode: code, modifiers: 2});
        await tab.key('keyUp', {key: letter, code: `Key${letter.toUpperCase()}`, windowsVirtualKeyCode: code, modifiers: 2});
        await tab.key('keyUp', {key: 'Control', code: 'ControlLeft', windowsVirtualKeyCode: 17});
    };
    const menuItem = text => page.evaluate(`(() => {
        const w = Module.dovraPage.windows[0];
        const item = w.menus[0].item.items.find(i => !i.separator && i.text.replace('&', '').startsWith(${JSON.stringify(text)}));
        return item ? JSON.stringify(item) : '';
    })()`).then(j => j ? JSON.parse(j) : null);

    await check('the Run menu bar mirrors the program\'s menu', async () => {
        const titles = await page.evaluate(
            `[...document.querySelectorAll('#dovra-windows .dovra-menu-title')].map(b => b.innerHTML).join()`);
        if (titles !== '<u>R</u>un') throw new Error(`menu bar "${titles}"`);
        const animate = await menuItem('Animate');
        if (!animate || animate.text !== '&Animate\tCtrl+A') {
            throw new Error(`Animate item ${JSON.stringify(animate)}`);
        }
    });

    await check('Ctrl+L reaches the program (Logging checked) and does not leave the page', async () => {
        const before = (await menuItem('Logging')).checked;
        await ctrl('l');
        await page.waitFor(`Module.dovraPage.windows[0].menus[0].item.items.find(i => i.text && i.text.replace('&','').startsWith('Logging')).checked === ${!before}`, 5);
        await ctrl('l');
        await page.waitFor(`Module.dovraPage.windows[0].menus[0].item.items.find(i => i.text && i.text.replace('&','').startsWith('Logging')).checked === ${before}`, 5);
        if (!(await page.evaluate('window.notReloaded === true'))) throw new Error('the page was left');
    });

    let recorded = '';
    await check('Ctrl+R, a click, Ctrl+R records to the browser\'s storage; no reload', async () => {
        await ctrl('r');
        const box = JSON.parse(await page.evaluate(
            `JSON.stringify(document.getElementById('dovra-canvas-0').getBoundingClientRect())`));
        // The middle of the "Add Scoop" button.
        await page.click(box.x + 47, box.y + 15);
        await page.waitFor(`(localStorage.getItem('DOVRA.SCR ' + location.pathname) || '').includes('DOVRA_MOUSE')`, 5);
        await ctrl('r');
        if (!(await page.evaluate('window.notReloaded === true'))) throw new Error('Ctrl+R reloaded the page');
        recorded = await page.waitFor(`localStorage.getItem('DOVRA.SCR ' + location.pathname)`, 5);
        // Client (47, 15) is package (-250, 233): the client area's centre is (297, 248).
        const mouse = recorded.split('\n').filter(l => l.includes('MOUSE'));
        if (mouse.join() !== 'DOVRA_MOUSE(-250, 233);') throw new Error(`recorded ${JSON.stringify(mouse)}`);
        return mouse[0];
    });

    await check('a reload keeps DOVRA.SCR', async () => {
        await page.reload();
        await page.waitFor('Module.dovraPage && Module.dovraPage.framesShown > 0');
        const file = await page.evaluate(`(() => { try { return new TextDecoder('latin1').decode(FS.readFile('DOVRA.SCR')); } catch (e) { return ''; } })()`);
        if (!recorded || file !== recorded) throw new Error(`after the reload: ${JSON.stringify(file.slice(0, 80))}`);
    });

    await check('the script recorded in the page replays natively to the page\'s picture', async () => {
        if (!recorded.includes('DOVRA_MOUSE')) throw new Error('no recording');
        // The recording's click, then one frame, both ways.
        const script = recorded.split('\n').filter(l => l.startsWith('DOVRA_MOUSE')).join('\n') +
                       '\nDOVRA_PERIODIC(1);\n';
        const expected = nativePicture(script, 'recorded');
        await page.navigate(`${address}?replay=${encodeURIComponent(script)}`);
        await page.waitFor('document.body.dataset.exitCode !== undefined');
        return compare(expected, await pagePicture(page));
    });

    const storedScript = `localStorage.getItem('DOVRA.SCR ' + location.pathname) || ''`;

    // Leaving the page by another address, and closing its tab (what
    // Ctrl+W does): the program ends as by its close box.
    const LEAVING = [
        ['leaving the page', async tab => tab.navigate('about:blank')],
        ['closing the tab', async tab => tab.close()],
    ];
    for (const [name, leave] of LEAVING) {
        await check(`${name} ends the program as the close box does: the recording keeps its last ticks`, async () => {
            const tab = await browser.page();
            await tab.navigate(address);
            await tab.evaluate('localStorage.clear()');
            await tab.waitFor('Module.dovraPage && Module.dovraPage.framesShown > 0');
            const box = JSON.parse(await tab.evaluate(
                `JSON.stringify(document.getElementById('dovra-canvas-0').getBoundingClientRect())`));
            await ctrl('r', tab);
            await tab.click(box.x + 47, box.y + 15);
            await tab.waitFor(`(${storedScript}).includes('DOVRA_MOUSE')`, 5);
            // The ticks after the click are one run, written when it ends.
            await new Promise(r => setTimeout(r, 700));
            await leave(tab);
            await page.navigate(address);
            const kept = await page.waitFor(storedScript, 5);
            const lines = kept.trim().split('\n');
            const last = /^DOVRA_PERIODIC\((\d+)\);$/.exec(lines[lines.length - 1]);
            if (lines[lines.length - 2] !== 'DOVRA_MOUSE(-250, 233);' || !last || +last[1] < 3) {
                throw new Error(`kept ${JSON.stringify(lines.slice(-3))}`);
            }
            if (name !== 'closing the tab') await tab.close();
            return `ends with ${lines.slice(-2).join(' ')}`;
        });
    }

    await check('a native recording, loaded and played in the page (Ctrl+P), gives the native picture', async () => {
        const recording = fs.readFileSync(new URL('./native_recording.scr', import.meta.url), 'latin1');
        await page.navigate(address);
        await page.waitFor('Module.dovraPage && Module.dovraPage.framesShown > 0');
        await new Promise(r => setTimeout(r, 450));
        // Playback halts the page's animation; the ticks the page had
        // before it set the phase its native replay starts from.
        await page.evaluate(`Module.dovraPage.loadScript(new File([${JSON.stringify(recording)}], 'native.scr')); 1`);
        await page.waitFor(`document.getElementById('dovra-status').textContent.startsWith('Loaded')`, 5);
        await ctrl('p');
        // Played to its end: Playback's check mark goes again.
        await new Promise(r => setTimeout(r, 1000));
        await page.waitFor(`!Module.dovraPage.windows[0].menus[0].item.items.find(i => i.text && i.text.replace('&','').startsWith('Playback')).checked`, 10);
        const shown = await pagePicture(page);
        // The live ticks before Ctrl+P count modulo the animation's 50 frames.
        for (let ticks = 0; ticks < 50; ticks++) {
            const prefix = ticks ? `DOVRA_PERIODIC(${ticks});\n` : '';
            const expected = nativePicture(prefix + recording, `native-${ticks}`);
            try {
                return `${compare(expected, shown)}, after ${ticks} live ticks`;
            } catch (e) {
                if (!e.message.includes('pixels differ')) throw e;
            }
        }
        throw new Error('no native replay of the recording, after any number of live ticks, gives the page\'s picture');
    });

    // The live page again (the last check left a replay that has ended).
    await page.navigate(address);
    await page.waitFor('Module.dovraPage && Module.dovraPage.framesShown > 0');

    await check('Alt+R opens the Run menu with its check marks, separators and grayed lines', async () => {
        await page.key('rawKeyDown', {key: 'Alt', code: 'AltLeft', windowsVirtualKeyCode: 18, modifiers: 1});
        await page.key('rawKeyDown', {key: 'r', code: 'KeyR', windowsVirtualKeyCode: 82, modifiers: 1});
        await page.key('keyUp', {key: 'r', code: 'KeyR', windowsVirtualKeyCode: 82, modifiers: 1});
        await page.key('keyUp', {key: 'Alt', code: 'AltLeft', windowsVirtualKeyCode: 18});
        const shown = JSON.parse(await page.waitFor(`document.querySelector('.dovra-menu') && JSON.stringify({
            rows: document.querySelectorAll('.dovra-menu .dovra-item').length,
            separators: document.querySelectorAll('.dovra-menu .dovra-separator').length,
            grayed: document.querySelectorAll('.dovra-menu .dovra-item.grayed').length,
            checked: [...document.querySelectorAll('.dovra-menu .dovra-check')].filter(c => c.textContent).length})`, 5));
        await page.key('rawKeyDown', {key: 'Escape', code: 'Escape', windowsVirtualKeyCode: 27});
        await page.key('keyUp', {key: 'Escape', code: 'Escape', windowsVirtualKeyCode: 27});
        const wanted = JSON.parse(await page.evaluate(`JSON.stringify(Module.dovraPage.windows[0].menus[0].item.items.filter(i => i.checked).length)`));
        if (shown.rows < 9 || shown.separators < 1 || shown.grayed < 4 || shown.checked !== wanted) {
            throw new Error(`menu shown as ${JSON.stringify(shown)}`);
        }
        if (await page.evaluate('!!document.querySelector(".dovra-menu")')) throw new Error('Escape left it open');
        return JSON.stringify(shown);
    });

    // Hostile scripts loaded with "Load script" and played (Ctrl+P, and
    // Ctrl+P again to stop what still plays): the page goes on answering.
    let seed = 12345;
    const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) % 256;
    const HOSTILE = [
        ['binary bytes', Array.from({length: 4096}, (_, i) => i % 61 === 60 ? 10 : random())],
        ['a line of 100,000 characters', [...Buffer.from('DOVRA_MOUSE(' + '7'.repeat(100000) + ');\n')]],
        ['huge numbers', [...Buffer.from('DOVRA_MOUSE(2147483648, -99999999999);\nDOVRA_KBD(4294967296);\n' +
                                        'DOVRA_PERIODIC(99999999999999999999);\n')]],
        ['two billion ticks', [...Buffer.from('DOVRA_PERIODIC(2000000000);\n')]],
    ];
    for (const [name, bytes] of HOSTILE) {
        await check(`a script of ${name}, loaded and played, leaves the page answering clicks`, async () => {
            await page.evaluate(`Module.dovraPage.loadScript(new File([new Uint8Array(${JSON.stringify(bytes)})], 'hostile.scr')); 1`);
            await page.waitFor(`document.getElementById('dovra-status').textContent.startsWith('Loaded')`, 5);
            await ctrl('p');
            await new Promise(r => setTimeout(r, 1000));
            // Stops a playback still going; starts one again after an end.
            await ctrl('p');
            const stillPlaying = await menuItem('Playback');
            if (stillPlaying.checked) await ctrl('p');
            await page.waitFor(`!Module.dovraPage.windows[0].menus[0].item.items.find(i => i.text && i.text.replace('&','').startsWith('Playback')).checked`, 5);
            await ctrl('r');
            const box = JSON.parse(await page.evaluate(
                `JSON.stringify(document.getElementById('dovra-canvas-0').getBoundingClientRect())`));
            await page.click(box.x + 47, box.y + 15);
            await page.waitFor(`new TextDecoder('latin1').decode(FS.readFile('DOVRA.SCR')).includes('DOVRA_MOUSE(-250, 233);')`, 5);
            await ctrl('r');
            if (page.errors.length) throw new Error(page.errors.join('; '));
            if (await page.evaluate('Module.dovraPage.ended !== null')) throw new Error('the program ended');
        });
    }

    for (const example of ['bouncing_ball', 'click_shapes']) {
        await check(`the ${example} page loads and shows its first frame`, async () => {
            await page.navigate(`${origin}/${example}/index.html`);
            await page.waitFor('window.Module && Module.dovraPage && Module.dovraPage.framesShown > 0');
            if (page.errors.length) throw new Error(page.errors.join('; '));
        });
    }

    await check('tools/web.sh turns a one-file program into a page that draws it, its log window shown', async () => {
        const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '..', '..');
        const source = path.join(scratch, 'hello_page.cpp');
        fs.writeFileSync(source, [
            '#include "dovra/dovra.h"',
            'int main() {',
            '    DOVRA_startup(nullptr, nullptr, nullptr, SW_SHOWNORMAL);',
            '    DOVRA_clear_window();',
            '    DOVRA_draw_circle(2, 0, 0, 50);',
            '    while (DOVRA_next_event(nullptr, nullptr, nullptr) != DOVRA_EXIT) {',
            '    }',
            '    DOVRA_shutdown();',
            '    return 0;',
            '}', ''].join('\n'));
        execFileSync(path.join(root, 'tools', 'web.sh'), [source], {stdio: ['ignore', 'ignore', 'pipe']});
        const folder = path.join(scratch, 'hello_page-web');
        const own = await serve(folder);
        try {
            await page.navigate(`${own.origin}/index.html`);
            await page.waitFor('window.Module && Module.dovraPage && Module.dovraPage.framesShown > 0');
            const picture = await pagePicture(page);
            // The red circle at the centre of the client area.
            const centre = picture.pixels[(picture.height >> 1) * picture.width + (picture.width >> 1)];
            if (centre !== 0xFF0000) throw new Error(`centre pixel ${centre.toString(16)}`);
            // This program leaves the log window shown: its panel is there.
            const panels = await page.evaluate(
                `[...document.querySelectorAll('.dovra-window')].map(p => !p.hidden).join()`);
            if (panels !== 'true,true') throw new Error(`panels shown: ${panels}`);
        } finally {
            own.server.close();
        }
    });
} finally {
    await browser.close();
    server.close();
    fs.rmSync(scratch, {recursive: true, force: true});
}
console.log(`browser tests: ${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);

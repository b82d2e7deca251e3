// Headless Chromium driven through the DevTools protocol over a pair of
// pipes (--remote-debugging-pipe: no network port, no WebSocket, so any
// Node from Debian 12's on will do, no packages), and a static file server
// on 127.0.0.1: what the browser tests of the web pages stand on.
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

const TYPES = {
    '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
    '.data': 'application/octet-stream', '.txt': 'text/plain; charset=utf-8'
};

// Serves `root` on 127.0.0.1 at a free port; resolves to {server, origin}.
export function serve(root) {
    const server = http.createServer((request, response) => {
        const url = new URL(request.url, 'http://127.0.0.1');
        const file = path.join(root, path.normalize(decodeURIComponent(url.pathname)));
        const target = file.endsWith(path.sep) ? path.join(file, 'index.html') : file;
        if (!target.startsWith(root) || !fs.existsSync(target) || !fs.statSync(target).isFile()) {
            response.writeHead(404);
            response.end('not found');
            return;
        }
        response.writeHead(200, {
            'Content-Type': TYPES[path.extname(target)] || 'application/octet-stream',
            'Cache-Control': 'no-store'
        });
        fs.createReadStream(target).pipe(response);
    });
    return new Promise((resolve, reject) => {
        server.on('error', reject);
        server.listen(0, '127.0.0.1', () =>
            resolve({server, origin: `http://127.0.0.1:${server.address().port}`}));
    });
}

// Starts Debian's chromium headless with a new empty profile; resolves to a
// browser object: page(), close().
export async function launch(executable = '/usr/bin/chromium') {
    if (!fs.existsSync(executable)) {
        throw new Error(`${executable} not found: install the package chromium (tools/setup.sh)`);
    }
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'dovra-chromium-'));
    // The protocol's messages go in on the browser's descriptor 3 and come
    // out on 4, each ended by a zero byte.
    const child = spawn(executable, [
        '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--remote-debugging-pipe', `--user-data-dir=${profile}`, 'about:blank'
    ], {stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe']});
    let said = '';
    child.stderr.on('data', chunk => { said += chunk; });
    const toBrowser = child.stdio[3];
    const fromBrowser = child.stdio[4];
    const socket = {
        send: text => toBrowser.write(text + '\0'),
        close: () => toBrowser.end(),
        onmessage: null
    };
    let partial = '';
    fromBrowser.setEncoding('utf8');
    fromBrowser.on('data', chunk => {
        partial += chunk;
        let end;
        while ((end = partial.indexOf('\0')) >= 0) {
            const data = partial.slice(0, end);
            partial = partial.slice(end + 1);
            socket.onmessage({data});
        }
    });
    let next = 1;
    const pending = new Map();
    const listeners = [];
    // A browser that ends answers nothing more: every call still waiting fails.
    child.on('exit', code => {
        for (const {reject} of pending.values()) {
            reject(new Error(`chromium exited (${code}): ${said.slice(-500)}`));
        }
        pending.clear();
    });
    socket.onmessage = event => {
        const message = JSON.parse(event.data);
        if (message.id && pending.has(message.id)) {
            const {resolve, reject} = pending.get(message.id);
            pending.delete(message.id);
            if (message.error) reject(new Error(message.error.message));
            else resolve(message.result);
        } else if (message.method) {
            listeners.forEach(l => l(message));
        }
    };
    const call = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
        const id = next++;
        pending.set(id, {resolve, reject});
        socket.send(JSON.stringify({id, method, params, sessionId}));
    });

    return {
        pid: child.pid,
        // A new tab; its calls: send, evaluate, navigate, waitFor.
        async page() {
            const {targetId} = await call('Target.createTarget', {url: 'about:blank'});
            const {sessionId} = await call('Target.attachToTarget', {targetId, flatten: true});
            const send = (method, params) => call(method, params, sessionId);
            await send('Page.enable');
            await send('Runtime.enable');
            const errors = [];
            listeners.push(m => {
                if (m.sessionId === sessionId && m.method === 'Runtime.consoleAPICalled' &&
                    process.env.DOVRA_WEB_TEST_CONSOLE) {
                    console.log('console:', m.params.args.map(a => a.value).join(' '));
                }
                if (m.sessionId === sessionId && m.method === 'Runtime.exceptionThrown') {
                    errors.push(m.params.exceptionDetails.exception?.description ||
                                m.params.exceptionDetails.text);
                }
            });
            const page = {
                send, errors,
                async evaluate(expression) {
                    const r = await send('Runtime.evaluate',
                                         {expression, awaitPromise: true, returnByValue: true});
                    if (r.exceptionDetails) {
                        throw new Error(r.exceptionDetails.exception?.description ||
                                        r.exceptionDetails.text);
                    }
                    return r.result.value;
                },
                async navigate(url) {
                    const loaded = new Promise(resolve => listeners.push(m => {
                        if (m.sessionId === sessionId && m.method === 'Page.loadEventFired') resolve();
                    }));
                    await send('Page.navigate', {url});
                    await loaded;
                },
                async reload() {
                    const loaded = new Promise(resolve => listeners.push(m => {
                        if (m.sessionId === sessionId && m.method === 'Page.loadEventFired') resolve();
                    }));
                    await send('Page.reload', {ignoreCache: true});
                    await loaded;
                },
                // Polls `expression` until it is truthy; its value, or an
                // error after `seconds`.
                async waitFor(expression, seconds = 20) {
                    const end = Date.now() + seconds * 1000;
                    for (;;) {
                        const value = await page.evaluate(expression);
                        if (value) return value;
                        if (Date.now() > end) throw new Error(`timed out waiting for ${expression}`);
                        await new Promise(r => setTimeout(r, 50));
                    }
                },
                async key(type, options) {
                    await send('Input.dispatchKeyEvent', {type, ...options});
                },
                async click(x, y) {
                    for (const type of ['mousePressed', 'mouseReleased']) {
                        await send('Input.dispatchMouseEvent',
                                   {type, x, y, button: 'left', clickCount: 1});
                    }
                },
                close: () => call('Target.closeTarget', {targetId})
            };
            return page;
        },
        async close() {
            try {
                await call('Browser.close');
            } catch (e) {
                // already gone
            }
            socket.close();
            await new Promise(resolve => {
                if (child.exitCode !== null) resolve();
                else child.on('exit', resolve);
                setTimeout(() => { child.kill('SIGKILL'); resolve(); }, 5000);
            });
            fs.rmSync(profile, {recursive: true, force: true});
        }
    };
}

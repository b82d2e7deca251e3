// Measures the cone builder's page in Debian's headless Chromium, served on
// 127.0.0.1: time to the first frame (cache disabled), the bytes of the page
// (and gzip-compressed), frames shown in 10 s with the animation running
// (one per tick), and the processor time of the browser's whole process tree
// over 10 s, animating and on a blank page.
//
//   node tools/measure-web.mjs [WEB-BUILD]   (default build/web)
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import {launch, serve} from '../tests/web/devtools.mjs';

const webBuild = path.resolve(process.argv[2] || 'build/web');
const folder = path.join(webBuild, 'cone_builder');
if (!fs.existsSync(path.join(folder, 'index.html'))) {
    console.error(`measure-web: no page in ${folder}: cmake --build --preset web first`);
    process.exit(2);
}

let total = 0, compressed = 0;
for (const file of ['index.html', 'cone_builder.js', 'cone_builder.wasm', 'cone_builder.data']) {
    const bytes = fs.readFileSync(path.join(folder, file));
    const gz = zlib.gzipSync(bytes, {level: 9}).length;
    total += bytes.length;
    compressed += gz;
    console.log(`${file.padEnd(20)} ${String(bytes.length).padStart(9)} bytes, gzip ${String(gz).padStart(8)}`);
}
console.log(`${'all of it'.padEnd(20)} ${String(total).padStart(9)} bytes, gzip ${String(compressed).padStart(8)}`);

// Processor time (ms) of a process and all its descendants, from /proc.
function treeCpuMs(root) {
    const children = new Map();
    for (const entry of fs.readdirSync('/proc')) {
        if (!/^\d+$/.test(entry)) continue;
        try {
            const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
            const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
            const parent = Number(fields[1]);
            const ticks = Number(fields[11]) + Number(fields[12]);
            children.set(Number(entry), {parent, ticks});
        } catch (e) {
            // gone meanwhile
        }
    }
    let sum = 0;
    const visit = pid => {
        const own = children.get(pid);
        if (own) sum += own.ticks;
        for (const [child, info] of children) if (info.parent === pid) visit(child);
    };
    visit(root);
    return sum * 10; // 100 ticks a second
}

const {server, origin} = await serve(webBuild);
const browser = await launch();
try {
    const page = await browser.page();
    await page.send('Network.enable');
    await page.send('Network.setCacheDisabled', {cacheDisabled: true});
    const firsts = [];
    for (let i = 0; i < 5; i++) {
        await page.navigate(`${origin}/cone_builder/index.html?load=${i}`);
        await page.waitFor('window.Module && Module.dovraPage && Module.dovraPage.framesShown > 0');
        firsts.push(Math.round(await page.evaluate('Module.dovraPage.firstFrameMs')));
    }
    console.log(`first frame, ms after the navigation began (5 loads, cache disabled): ${firsts.join(', ')}`);

    const seconds = 10;
    const framesBefore = await page.evaluate('Module.dovraPage.framesShown');
    const cpuBefore = treeCpuMs(browser.pid);
    await new Promise(r => setTimeout(r, seconds * 1000));
    const cpuAnimating = treeCpuMs(browser.pid) - cpuBefore;
    const frames = (await page.evaluate('Module.dovraPage.framesShown')) - framesBefore;
    console.log(`frames shown in ${seconds} s, animating (one per tick): ${frames}`);
    console.log(`browser processor time over ${seconds} s, animating: ${cpuAnimating} ms ` +
                `(${(cpuAnimating / seconds / 10).toFixed(1)}% of a core)`);

    await page.navigate('about:blank');
    const blankBefore = treeCpuMs(browser.pid);
    await new Promise(r => setTimeout(r, seconds * 1000));
    const cpuBlank = treeCpuMs(browser.pid) - blankBefore;
    console.log(`browser processor time over ${seconds} s, blank page: ${cpuBlank} ms ` +
                `(${(cpuBlank / seconds / 10).toFixed(1)}% of a core)`);
} finally {
    await browser.close();
    server.close();
}

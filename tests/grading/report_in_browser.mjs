// Opens a grading report in headless Chromium (Debian's) and checks what a
// teacher sees: the number of rows, and that every picture on the page loads.
// Usage: node report_in_browser.mjs REPORT/index.html ROWS
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import {launch} from '../web/devtools.mjs';

const [page, rows] = [path.resolve(process.argv[2]), Number(process.argv[3])];
let browser;
let code = 1;
try {
    browser = await launch();
    const tab = await browser.page();
    await tab.navigate(pathToFileURL(page).href);
    const seen = await tab.evaluate(`(() => {
        const images = [...document.images];
        return {rows: document.querySelectorAll('tr').length - 1, images: images.length,
                broken: images.filter(i => !i.complete || i.naturalWidth === 0).map(i => i.src)};
    })()`);
    if (seen.rows !== rows) {
        console.log(`FAIL: the report shows ${seen.rows} rows, not ${rows}`);
    } else if (seen.images === 0 || seen.broken.length) {
        console.log(`FAIL: ${seen.broken.length} of ${seen.images} pictures do not load: ` +
                    seen.broken.slice(0, 3).join(' '));
    } else {
        console.log(`report in the browser: ${seen.rows} rows, all ${seen.images} pictures load`);
        code = 0;
    }
} catch (e) {
    console.log('FAIL: ' + e.message);
}
if (browser) await browser.close();
process.exit(code);

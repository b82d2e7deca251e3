// Reading the PNG pictures of the native headless replay (8-bit RGB or RGBA,
// not interlaced) into rows of 0xRRGGBB, with Node's own zlib.
import fs from 'node:fs';
import zlib from 'node:zlib';

export function readPng(file) {
    const bytes = fs.readFileSync(file);
    if (bytes.toString('latin1', 1, 4) !== 'PNG') throw new Error(`${file}: not a PNG file`);
    let width = 0, height = 0, channels = 0;
    const data = [];
    for (let at = 8; at < bytes.length;) {
        const length = bytes.readUInt32BE(at);
        const type = bytes.toString('latin1', at + 4, at + 8);
        const body = bytes.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const colourType = body[9];
            if (body[8] !== 8 || body[12] !== 0 || (colourType !== 2 && colourType !== 6)) {
                throw new Error(`${file}: only 8-bit RGB or RGBA pictures, not interlaced`);
            }
            channels = colourType === 2 ? 3 : 4;
        } else if (type === 'IDAT') {
            data.push(body);
        }
        at += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(data));
    const stride = width * channels;
    const pixels = new Uint32Array(width * height);
    let previous = new Uint8Array(stride);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)];
        const line = Uint8Array.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
        for (let i = 0; i < stride; i++) {
            const a = i >= channels ? line[i - channels] : 0;
            const b = previous[i];
            const c = i >= channels ? previous[i - channels] : 0;
            let add = 0;
            if (filter === 1) add = a;
            else if (filter === 2) add = b;
            else if (filter === 3) add = (a + b) >> 1;
            else if (filter === 4) {
                const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
                add = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            }
            line[i] = (line[i] + add) & 0xFF;
        }
        for (let x = 0; x < width; x++) {
            const o = x * channels;
            pixels[y * width + x] = (line[o] << 16) | (line[o + 1] << 8) | line[o + 2];
        }
        previous = line;
    }
    return {width, height, pixels};
}

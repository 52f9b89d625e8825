// Draws the scenes and background pictures the program ships (resources/scenes/,
// resources/dataFiles/Background/) in headless Chromium. Run it again after changing a
// drawing: node scripts/make-furnishings.mjs
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch } from '../tests/browser/support/browser.mjs';
import { rectangleSwf } from '../tests/browser/support/swf.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', 'resources');
const browser = await launch({ viewport: { width: 800, height: 600 } });
const page = await browser.context.newPage();

// Renders a canvas drawing (the body of a function of ctx, w, h) into a file.
async function draw(file, width, height, body, type = 'png') {
  await page.setViewportSize({ width, height });
  await page.setContent(`<body style="margin:0;background:transparent"><canvas id="c" width="${width}" height="${height}"></canvas>
    <script>(function () { const ctx = document.getElementById('c').getContext('2d'); const w = ${width}, h = ${height}; ${body} })();</script></body>`);
  fs.mkdirSync(path.dirname(file), { recursive: true });
  await page.locator('#c').screenshot({ path: file, type, omitBackground: type === 'png', ...(type === 'jpeg' ? { quality: 82 } : {}) });
}

function meta(title, background, foreground) {
  const items = (list) => list.map(([position, url]) => `<Item position="${position}"><URL>${url}</URL></Item>`).join('');
  const ground = (background.length ? `<Background>${items(background)}</Background>` : '') +
    (foreground.length ? `<Foreground>${items(foreground)}</Foreground>` : '');
  return '\ufeff' + `<Meta><Info><Title>${title}</Title><Desc></Desc></Info><Scenes><Ground>${ground}</Ground></Scenes></Meta>`;
}

const leaf = (x, y, r, a, color) => `ctx.save(); ctx.translate(${x}, ${y}); ctx.rotate(${a}); ctx.fillStyle = '${color}';
  ctx.beginPath(); ctx.ellipse(0, 0, ${r}, ${r / 2.6}, 0, 0, Math.PI * 2); ctx.fill(); ctx.restore();`;

// The none picture: a grey square with a slash.
await draw(path.join(root, 'scenes/none.png'), 120, 120, `ctx.fillStyle = '#E4E7EB'; ctx.fillRect(0, 0, w, h);
  ctx.strokeStyle = '#9AA3AE'; ctx.lineWidth = 8; ctx.beginPath(); ctx.arc(60, 60, 34, 0, Math.PI * 2); ctx.stroke();
  ctx.beginPath(); ctx.moveTo(36, 84); ctx.lineTo(84, 36); ctx.stroke();`);

// Garden: leaves in two corners, one behind the book and one in front of it.
const garden = path.join(root, 'scenes/Garden');
let leaves = '';
for (let i = 0; i < 9; i++) leaves += leaf(30 + i * 17, 40 + (i % 3) * 30, 34 - i * 2, -0.6 + i * 0.25, ['#2E7D32', '#43A047', '#66BB6A'][i % 3]);
await draw(path.join(garden, 'Resources/leaves.png'), 220, 160, leaves);
await draw(path.join(garden, 'Resources/fern.png'), 220, 160, `ctx.translate(w, h); ctx.rotate(Math.PI); ${leaves}`);
fs.writeFileSync(path.join(garden, 'Meta.xml'), meta('Garden', [['Top Left', 'leaves.png']], [['Bottom Right', 'fern.png']]));
await draw(path.join(garden, 'shot.jpg'), 180, 135, `ctx.fillStyle = '#4A5668'; ctx.fillRect(0, 0, w, h);
  ctx.fillStyle = '#fff'; ctx.fillRect(40, 20, 100, 95); ${leaf(30, 25, 28, 0.3, '#43A047')} ${leaf(150, 110, 28, 0.3, '#2E7D32')}`, 'jpeg');

// Sunrise: a movie of the sun over hills stretched behind the book.
const sunrise = path.join(root, 'scenes/Sunrise');
fs.mkdirSync(path.join(sunrise, 'Resources'), { recursive: true });
fs.writeFileSync(path.join(sunrise, 'Resources/sun.swf'), rectangleSwf('#FFB300', 120, 120));
await draw(path.join(sunrise, 'Resources/hills.png'), 640, 400, `
  ctx.fillStyle = '#7CB342'; ctx.beginPath(); ctx.moveTo(0, 300); ctx.quadraticCurveTo(160, 220, 320, 300);
  ctx.quadraticCurveTo(480, 380, 640, 280); ctx.lineTo(640, 400); ctx.lineTo(0, 400); ctx.fill();`);
fs.writeFileSync(path.join(sunrise, 'Meta.xml'), meta('Sunrise', [['Scale to Fit', 'hills.png'], ['Top Right', 'sun.swf']], []));
await draw(path.join(sunrise, 'shot.jpg'), 180, 135, `ctx.fillStyle = '#90CAF9'; ctx.fillRect(0, 0, w, h);
  ctx.fillStyle = '#FFB300'; ctx.fillRect(140, 10, 30, 30); ctx.fillStyle = '#7CB342'; ctx.fillRect(0, 100, w, 35);
  ctx.fillStyle = '#fff'; ctx.fillRect(45, 25, 90, 85);`, 'jpeg');

// Backgrounds.
const backgrounds = path.join(root, 'dataFiles/Background');
await draw(path.join(backgrounds, 'paper.jpg'), 640, 400, `ctx.fillStyle = '#F3EEE2'; ctx.fillRect(0, 0, w, h);
  for (let i = 0; i < 4000; i++) { ctx.fillStyle = 'rgba(120,100,70,' + (Math.sin(i * 12.9898) * 0.5 + 0.5) * 0.08 + ')';
  ctx.fillRect((i * 73) % w, (i * 151) % h, 2, 2); }`, 'jpeg');
await draw(path.join(backgrounds, 'slate.jpg'), 640, 400, `const g = ctx.createLinearGradient(0, 0, w, h);
  g.addColorStop(0, '#37474F'); g.addColorStop(1, '#263238'); ctx.fillStyle = g; ctx.fillRect(0, 0, w, h);`, 'jpeg');
await draw(path.join(backgrounds, 'dusk.jpg'), 640, 400, `const g = ctx.createLinearGradient(0, 0, 0, h);
  g.addColorStop(0, '#283593'); g.addColorStop(0.6, '#8E24AA'); g.addColorStop(1, '#FF7043'); ctx.fillStyle = g; ctx.fillRect(0, 0, w, h);`, 'jpeg');

await browser.close();

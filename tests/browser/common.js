// What the page's tests share: a static server, Debian's Chromium, the window's layout and
// the texts that Qt's accessibility layer holds.
"use strict";
const { chromium } = require("playwright-core");
const fs = require("fs");
const http = require("http");
const path = require("path");

// A static server: files only, with the types a server gives them, wasm's included, since
// browsers compile wasm while it downloads only when it comes as application/wasm.
function serve(root) {
    const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript",
                    ".wasm": "application/wasm", ".svg": "image/svg+xml", ".png": "image/png",
                    ".css": "text/css" };
    const server = http.createServer((request, response) => {
        const url = new URL(request.url, "http://localhost");
        let file = path.join(root, path.normalize(decodeURIComponent(url.pathname)));
        if (file.endsWith(path.sep))
            file = path.join(file, "index.html");
        fs.readFile(file, (error, data) => {
            if (error || !file.startsWith(root)) {
                response.writeHead(404).end();
                return;
            }
            response.writeHead(200, { "Content-Type": types[path.extname(file)] ??
                                                      "application/octet-stream" });
            response.end(data);
        });
    });
    return new Promise(resolve => server.listen(0, "127.0.0.1", () => resolve(server)));
}

// Debian's Chromium with a fresh profile, talking to nothing but the page's server; headless
// unless a display is wanted.
function launch({ headless = true, args = [] } = {}) {
    return chromium.launch({
        executablePath: "/usr/bin/chromium",
        headless,
        chromiumSandbox: false,
        args: ["--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync", ...args],
    });
}

// The controls' rectangles in the content area, from the layout's golden record: the page
// draws in the same font at the same size. And the menus' items, in order, by menu title.
function readLayout() {
    const rects = {}, menus = {};
    let menu = null;
    for (const line of fs.readFileSync(path.join(__dirname, "..", "data", "window-dejavu9.tsv"),
                                       "utf8").split("\n")) {
        const [name, kind, page, rect] = line.split("\t");
        if (rect && /^\d+,\d+,\d+,\d+$/.test(rect)) {
            const [x, y, width, height] = rect.split(",").map(Number);
            rects[name] = { x, y, width, height };
        } else if (kind === "QMenu") {
            menu = menus[page.replace("&", "")] = [];
        } else if (kind === "QAction" && menu) {
            menu.push(page);
        }
    }
    return [rects, menus];
}

// Each label's text by its name, from the elements of Qt's accessibility layer, once screen
// reader support is on (a degree ring is read as the degree sign).
function texts(page) {
    return page.evaluate(() => {
        const shadow = document.querySelector("#qt-shadow-container").shadowRoot;
        return Object.fromEntries([...shadow.querySelectorAll("textarea[id]")]
            .map(element => [element.id.split(".").pop(), element.value]));
    });
}

module.exports = { serve, launch, readLayout, texts };

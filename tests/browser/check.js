// Miravane's page and the Qt Test programs in Debian's Chromium, headless, driven by Playwright
// (playwright-core, with no browser of its own) and served from 127.0.0.1 as any static server
// would. Run by tools/web:
//   node tests/browser/check.js BUILD_DIR              the page as a user works it, its
//                                                      accessibility tree, then the Qt Tests
//   node tests/browser/check.js BUILD_DIR --page       the page alone
//   node tests/browser/check.js BUILD_DIR --first-paint N   first-paint times of N loads
//   node tests/browser/check.js BUILD_DIR --screenshot PNG  the page as it opens
// BUILD_DIR holds site/ (the page) and tests/ (tst_*.html). Prints what it checked; exits 1 on
// any failure.
"use strict";
const { serve, launch, readLayout, texts } = require("./common");
const path = require("path");

const [buildDir, mode, modeArgument] = process.argv.slice(2);
let failures = 0;
function check(ok, what) {
    console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
    if (!ok)
        failures++;
    return ok;
}

const [layout, menus] = readLayout();
const designWidth = layout.Content.width, designHeight = layout.Content.height;

// The texts shown, as the page's accessibility layer gives them (texts() in common.js).
const startTexts = {
    ApertureText: "200 mm", FocalLengthText: "2000 mm", FNumberText: "ƒ = 10.0",
    EFLText: "25 mm", AFOVText: "50°", MagnificationText: "x 80", TFOVText: "37.5'",
    ExitText: "2.5", EFLText1: "32 mm", AFOVText1: "52°", MagnificationText1: "x 63",
    TFOVText1: "49.9'", ExitText1: "3.2", StatusText: "",
};
const preset3Texts = { ...startTexts, ApertureText: "90 mm", FocalLengthText: "1250 mm",
    FNumberText: "ƒ = 13.9", MagnificationText: "x 50", TFOVText: "60.0'", ExitText: "1.8",
    MagnificationText1: "x 39", TFOVText1: "79.9'", ExitText1: "2.3" };

// One page of the site, with what it shows and the way a user works it.
class Session {
    constructor(page, origin) {
        this.page = page;
        this.origin = origin;
        this.errors = [];
        page.on("pageerror", error => this.errors.push(error.message));
        this.requested = [];
        page.on("request", request => {
            this.requested.push(request.url());
            if (new URL(request.url()).origin !== origin)
                this.errors.push(`fetched from elsewhere: ${request.url()}`);
        });
    }

    async open() {
        await this.page.goto(`${this.origin}/site/`);
        return this.ready();
    }

    // Waits for the page to show the window, as its own state says.
    async ready() {
        try {
            await this.page.waitForFunction(() => document.documentElement.dataset.state === "ready",
                                            null, { timeout: 60000 });
        } catch {
            const state = await this.page.evaluate(() => document.documentElement.dataset.state);
            return check(false, `the page shows the window within 60 s (its state: ${state})`);
        }
        const box = await this.page.locator("#screen").boundingBox();
        this.origin_ = { x: box.x, y: box.y + box.height - designHeight };
        this.box = box;
        return true;
    }

    // A point of a control of the layout, in the page; `at` from its left, in its middle.
    point(name, at = 0.5) {
        const rect = layout[name];
        return { x: this.origin_.x + rect.x + rect.width * at,
                 y: this.origin_.y + rect.y + rect.height / 2 };
    }

    async click(name) {
        const { x, y } = this.point(name);
        await this.page.mouse.click(x, y);
        await this.settle();
    }

    async key(keys) {
        await this.page.keyboard.press(keys);
        await this.settle();
    }

    // Qt draws at the next animation frame: two frames later the picture is complete.
    async settle() {
        await this.page.evaluate(() => new Promise(resolve =>
            requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(resolve, 50)))));
    }

    // The window as drawn, with the pointer away from every control.
    async shot() {
        await this.page.mouse.move(2, 2);
        await this.settle();
        return this.page.locator("#screen").screenshot();
    }

    texts() {
        return texts(this.page);
    }

    // The page's own switch for screen readers, then the focus back in the window with a click
    // on a caption, which takes no focus from the window's controls.
    async screenReaderOn() {
        await this.page.locator("#screen-reader").click();
        await this.click("StaticText1");
    }

    // The middle of an element of Qt's layer whose text or title is `name`, in the page.
    async elementRect(selector, name) {
        return this.page.evaluate(([selector, name]) => {
            const shadow = document.querySelector("#qt-shadow-container").shadowRoot;
            const element = [...shadow.querySelectorAll(selector)].find(element =>
                element.title === name || element.textContent === name);
            if (!element)
                return null;
            const { x, y, width, height } = element.getBoundingClientRect();
            return { x: x + width / 2, y: y + height / 2 };
        }, [selector, name]);
    }

    // The middle of an item of the menu open now, its window the last Qt opened. Qt's layer
    // misplaces the elements of a menu's items, but gives their size.
    async menuItem(menu, item) {
        const index = menus[menu].indexOf(item);
        return this.page.evaluate(([item, index]) => {
            const shadow = document.querySelector("#qt-shadow-container").shadowRoot;
            const element = [...shadow.querySelectorAll("[role=menuitem]")]
                .find(element => element.title === item);
            const popup = [...shadow.querySelectorAll("canvas.qt-window-content")].pop();
            if (!element || index < 0 || !popup)
                return null;
            const { x, y, width } = popup.getBoundingClientRect();
            return { x: x + width / 2, y: y + (index + 0.5) * element.offsetHeight };
        }, [item, index]);
    }
}

function textsMatch(seen, expected, when) {
    const wrong = Object.entries(expected).filter(([name, text]) => seen[name] !== text)
        .map(([name, text]) => `${name} "${seen[name]}" (expected "${text}")`);
    return check(wrong.length === 0, `${when}: ${wrong.length ? wrong.join(", ") :
        Object.entries(expected).filter(([, text]) => text).map(([, text]) => text).join(" | ")}`);
}

// Chromium's accessibility tree, as a screen reader gets it: each control's role, name and
// value, the page's own and those of Qt's layer.
async function accessibilityTree(page) {
    const client = await page.context().newCDPSession(page);
    const { nodes } = await client.send("Accessibility.getFullAXTree");
    await client.detach();
    const wanted = new Set(["button", "checkbox", "slider", "textbox", "tab", "tablist", "menubar",
                            "menuitem", "status"]);
    return nodes.filter(node => !node.ignored && wanted.has(node.role?.value)).map(node => {
        const properties = Object.fromEntries((node.properties ?? [])
            .map(property => [property.name, property.value.value]));
        return { role: node.role.value, name: node.name?.value ?? "",
                 value: properties.valuetext ?? node.value?.value ?? "",
                 range: "valuemin" in properties ? `${properties.valuemin}..${properties.valuemax}` : "",
                 disabled: properties.disabled === true, checked: properties.checked,
                 selected: properties.selected };
    });
}

function printTree(title, nodes) {
    console.log(`-- ${title}: ${nodes.length} controls`);
    for (const node of nodes)
        console.log(`   ${node.role.padEnd(9)} ${JSON.stringify(node.name)}` +
                    `${node.value !== "" ? ` value ${JSON.stringify(String(node.value))}` : ""}` +
                    `${node.range ? ` range ${node.range}` : ""}` +
                    `${node.checked !== undefined ? ` checked ${node.checked}` : ""}` +
                    `${node.selected !== undefined ? ` selected ${node.selected}` : ""}` +
                    `${node.disabled ? " disabled" : ""}`);
}

async function pageChecks(browser, origin) {
    console.log("== The page");
    const context = await browser.newContext({ viewport: { width: 1280, height: 720 } });
    const session = new Session(await context.newPage(), origin);
    const { page } = session;
    if (!await session.open())
        return context.close();
    check(await page.title() === "Miravane", `titled "${await page.title()}"`);
    check(session.box.width === designWidth && session.box.height > designHeight,
          `the window at its designed size: ${session.box.width} x ${session.box.height}` +
          ` (content ${designWidth} x ${designHeight} below the menu bar)`);
    check(await page.locator("#loading").isHidden(), "the loading indicator is gone");
    check(await page.locator("img:visible").count() === 0 && !session.requested.some(url =>
          url.includes("qtlogo")), "no Qt logo, no image");

    // Screen reader support off, as a page starts: pictures only.
    await session.click("StaticText1");
    const start = await session.shot();
    const before = await accessibilityTree(page);
    await session.key("Control+3");
    const preset3 = await session.shot();
    check(!preset3.equals(start), "Ctrl+3 changes the picture");
    await session.key("Control+r");
    check((await session.shot()).equals(start), "Ctrl+R (Reset) restores the start-up picture exactly");

    // On, with what it reads: the same pictures, and the texts behind them.
    await session.screenReaderOn();
    check((await session.shot()).equals(start), "screen reader support on: the same picture");
    textsMatch(await session.texts(), startTexts, "start-up texts");
    printTree("Chromium's accessibility tree with screen reader support off", before);
    const after = await accessibilityTree(page);
    printTree("and on", after);
    accessibilityChecks(after);

    await session.key("Control+3");
    check((await session.shot()).equals(preset3), "Ctrl+3 with screen reader support: the same picture");
    textsMatch(await session.texts(), preset3Texts, "Ctrl+3 loads the 90 mm preset");
    const spoken = await page.waitForFunction(() =>
        document.getElementById("announcements").textContent, null, { timeout: 5000 })
        .then(handle => handle.jsonValue()).catch(() => "");
    check(spoken.endsWith("Focal ratio 13.9. Eyepiece 1: magnification 50, true field 60.0 " +
                          "minutes, exit pupil 1.8 millimetres"),
          `the results go to the page's live region: "${spoken}"`);
    await session.key("Control+r");
    check((await session.shot()).equals(start), "Reset again: the start-up picture");

    const telescope = await session.elementRect("[role=menuitem]", "Telescope");
    if (check(telescope !== null, "the Telescope menu has an element of its own")) {
        await page.mouse.click(telescope.x, telescope.y);
        await session.settle();
        const item = await session.menuItem("Telescope", "ETX 90 Maksutov");
        if (check(item !== null, "the open Telescope menu lists ETX 90 Maksutov")) {
            await page.mouse.click(item.x, item.y);
            await session.settle();
            check((await session.shot()).equals(preset3),
                  "Telescope > ETX 90 Maksutov by mouse: the picture of Ctrl+3");
            textsMatch(await session.texts(), preset3Texts, "the menu's 90 mm preset");
        }
    }

    let last = await session.shot();
    await session.click("FLUpDownArrows.up");
    let now = await session.shot();
    check(!now.equals(last), "the focal length's up arrow changes the picture");
    textsMatch(await session.texts(), { FocalLengthText: "1251 mm", FNumberText: "ƒ = 13.9",
                                        MagnificationText: "x 50" }, "up arrow");

    // A drag of the aperture's handle, from its place at 90 mm, 60 px to the right: some 57
    // mm along a groove of 350 mm in 366 px. A press beside the handle would step by 20 mm.
    last = now;
    const handle = 15, groove = layout.ApertureSlider.width - handle;
    const from = session.point("ApertureSlider",
                               (handle / 2 + (90 - 50) / 350 * groove) / layout.ApertureSlider.width);
    await page.mouse.move(from.x, from.y);
    await page.mouse.down();
    for (let step = 1; step <= 5; step++)
        await page.mouse.move(from.x + 12 * step, from.y);
    await page.mouse.up();
    await session.settle();
    now = await session.shot();
    check(!now.equals(last), "a drag of the aperture slider changes the picture");
    const dragged = await session.texts();
    const aperture = parseInt(dragged.ApertureText);
    check(aperture >= 130 && aperture <= 165 &&
          dragged.FNumberText === `ƒ = ${(1251 / aperture).toFixed(1)}`,
          `the drag: aperture ${dragged.ApertureText}, ${dragged.FNumberText}`);

    last = now;
    await session.click("BarlowButton");
    now = await session.shot();
    check(!now.equals(last), "Barlow in changes the picture");
    textsMatch(await session.texts(), { FocalLengthText: "2502 mm", StatusText: "Barlow",
                                        MagnificationText: "x 100" }, "Barlow in");
    await session.click("BarlowButton");
    check((await session.shot()).equals(last), "Barlow out: the picture before it");
    textsMatch(await session.texts(), { FocalLengthText: "1251 mm", StatusText: "",
                                        MagnificationText: "x 50" }, "Barlow out");

    // Page 2, from a fresh start.
    await session.open();
    await session.screenReaderOn();
    const tab = await session.elementRect("[role=tab]", "Eyepiece 2");
    if (check(tab !== null, "the page tab Eyepiece 2 has an element of its own")) {
        const page1 = await session.shot();
        await page.mouse.click(tab.x, tab.y);
        await session.settle();
        check(!(await session.shot()).equals(page1), "the Eyepiece 2 tab changes the picture");
        textsMatch(await session.texts(), { EFLText1: "32 mm", AFOVText1: "52°",
            MagnificationText1: "x 63", TFOVText1: "49.9'", ExitText1: "3.2" }, "page 2");
    }

    // Quit leaves a message and a way back, never a blank page.
    await session.key("Control+q");
    check(await page.evaluate(() => document.documentElement.dataset.state) === "closed" &&
          await page.locator("#closed").isVisible(),
          `Ctrl+Q: "${(await page.locator("#closed").innerText()).replace(/\s+/g, " ")}"`);
    await page.locator("#closed button").press("Enter");
    if (await session.ready()) {
        await session.click("StaticText1");
        check((await session.shot()).equals(start), "Start again: the start-up picture");
    }

    check(session.errors.length === 0, `no script errors, nothing fetched from elsewhere` +
          `${session.errors.length ? `: ${session.errors.join("; ")}` : ""}`);
    await context.close();

    // A browser without WebAssembly gets a message, not a blank page.
    const bare = await browser.newContext();
    await bare.addInitScript(() => { delete globalThis.WebAssembly; });
    const barePage = await bare.newPage();
    await barePage.goto(`${origin}/site/`);
    check(await barePage.locator("#unsupported").isVisible(),
          `without WebAssembly: "${await barePage.locator("#unsupported h1").innerText()}"`);
    await bare.close();
}

// Every control named, sliders with their range and value in words, optics with their state.
function accessibilityChecks(nodes) {
    // The page in front's: the other page's controls are hidden, as on the screen.
    const sliders = nodes.filter(node => node.role === "slider");
    check(sliders.length === 4 && sliders.every(node => / in (millimetres|degrees)$/.test(node.name)),
          `${sliders.length} sliders, each named with its unit, with its value and range: ` +
          sliders.map(node => `${node.name} ${node.value} (${node.range})`).join(", "));
    const optics = nodes.filter(node => node.role === "checkbox").map(node => node.name).join(", ");
    check(optics === "Barlow lens, Reducer/corrector", `optics named: ${optics}`);
    check(nodes.some(node => node.role === "textbox" && node.name === "Focal ratio" &&
                             node.value === "ƒ = 10.0"), "the focal ratio read-out gives its text");
    // Text boxes are read by their text: a caption's is its own. Qt's hidden text input, which
    // holds the keyboard, and Qt's menu bar have no name.
    const unnamed = nodes.filter(node => !node.name && node.role !== "textbox" &&
                                         node.role !== "menubar");
    check(unnamed.length === 0, `no control without a name${unnamed.length ?
        `: ${unnamed.map(node => node.role).join(", ")}` : ""}`);
    const tabs = nodes.filter(node => node.role === "tab");
    check(tabs.map(node => `${node.name} ${node.selected}`).join(", ") ===
          "Eyepiece 1 true, Eyepiece 2 false", "the page tabs say which is in front");
}

// A Qt Test program in a page of its own: it prints its results to the console.
async function qtTest(browser, origin, name, timeout) {
    const context = await browser.newContext();
    const page = await context.newPage();
    const lines = [];
    let totals = null;
    const done = new Promise(resolve => page.on("console", message => {
        const text = message.text();
        lines.push(text);
        if (text.startsWith("Totals:")) {
            totals = text;
            resolve();
        }
    }));
    const started = Date.now();
    await page.goto(`${origin}/tests/${name}.html`);
    await Promise.race([done, new Promise(resolve => setTimeout(resolve, timeout * 1000))]);
    const seconds = ((Date.now() - started) / 1000).toFixed(0);
    const failed = totals ? Number(/(\d+) failed/.exec(totals)[1]) : -1;
    if (!check(failed === 0, `${name}: ${totals ?? `no results within ${timeout} s`} (${seconds} s)`))
        lines.forEach((line, i) => {
            if (line.startsWith("FAIL!") && i < 200)
                console.log(lines.slice(i, i + 4).map(line => `     ${line}`).join("\n"));
        });
    for (const line of lines.filter(line => /random actions in all/.test(line)))
        console.log(`     ${line.replace(/^QINFO *: *\S+ /, "")}`);
    await context.close();
}

// Cold loads, each with a fresh profile and cache, then a warm one from the cache.
async function firstPaint(browser, origin, count) {
    const cold = [], warm = [];
    for (let i = 0; i < count; i++) {
        const context = await browser.newContext();
        const session = new Session(await context.newPage(), origin);
        if (await session.open())
            cold.push(await session.page.evaluate(() => window.miravaneFirstPaint));
        if (await session.open())
            warm.push(await session.page.evaluate(() => window.miravaneFirstPaint));
        await context.close();
    }
    const median = values => values.sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];
    console.log(`First paint, ms from navigation: cold median ${median(cold).toFixed(0)} of ` +
                `${cold.map(v => v.toFixed(0)).join(" ")}; warm median ${median(warm).toFixed(0)}`);
}

(async () => {
    const server = await serve(path.resolve(buildDir));
    const origin = `http://127.0.0.1:${server.address().port}`;
    const browser = await launch();
    console.log(`Chromium ${browser.version()}, serving ${path.resolve(buildDir)} at ${origin}`);
    try {
        if (mode === "--screenshot") {
            // The page as a user first sees it, for the README.
            const context = await browser.newContext({ viewport: { width: 900, height: 430 } });
            const session = new Session(await context.newPage(), origin);
            if (await session.open()) {
                await session.page.mouse.move(2, 2);
                await session.page.screenshot({ path: modeArgument });
            }
            await context.close();
        } else if (mode === "--first-paint") {
            await firstPaint(browser, origin, Number(modeArgument ?? 10));
        } else if (mode === "--page") {
            await pageChecks(browser, origin);
        } else {
            await pageChecks(browser, origin);
            console.log("== The Qt Tests in the browser");
            await qtTest(browser, origin, "tst_format", 120);
            await qtTest(browser, origin, "tst_window", 300);
            await qtTest(browser, origin, "tst_random_ui", 1800);
        }
    } finally {
        await browser.close();
        server.close();
    }
    console.log(failures ? `${failures} check(s) failed` : "Every check passed");
    process.exit(failures ? 1 : 0);
})().catch(error => {
    console.error(error);
    process.exit(1);
});

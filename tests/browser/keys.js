// Which keys reach the program in a visible Chromium. A browser keeps some shortcuts for
// itself, and keys that Playwright sends into a page never meet them, so here the keys are real
// X key events (xdotool) sent to Chromium's window on the X display of $DISPLAY. Run by
// tools/web-keys: node tests/browser/keys.js SITE_DIR. Prints what each key did.
"use strict";
const { serve, launch, readLayout, texts: readTexts } = require("./common");
const { execFileSync } = require("child_process");
const path = require("path");

const [layout] = readLayout();

const xdotool = (...args) => execFileSync("xdotool", args, { encoding: "utf8" }).trim();
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

(async () => {
    const server = await serve(path.resolve(process.argv[2]));
    const url = `http://127.0.0.1:${server.address().port}/`;
    const browser = await launch({ headless: false,
                                   args: ["--window-position=0,0", "--window-size=1200,760"] });
    const context = await browser.newContext({ viewport: null });
    const page = await context.newPage();
    const state = () => page.evaluate(() => ({
        state: document.documentElement.dataset.state, marked: window.keysMarker === 1,
        visible: document.visibilityState,
    }));
    const texts = () => readTexts(page);
    const pageInFront = async () => {
        const readouts = await page.evaluate(() => {
            const shadow = document.querySelector("#qt-shadow-container").shadowRoot;
            const element = [...shadow.querySelectorAll("textarea[id]")]
                .find(element => element.id.endsWith(".ExitText1"));
            return element?.getAttribute("aria-hidden") ?? String(element?.ariaHidden);
        });
        return readouts === "true" ? 1 : 2;
    };
    // A fresh page, screen reader support on, a mark that a reload would wipe, and the
    // keyboard in the window: a click on a caption, which takes no control's focus.
    const fresh = async () => {
        await page.goto(url);
        await page.waitForFunction(() => document.documentElement.dataset.state === "ready");
        await page.locator("#screen-reader").click();
        const box = await page.locator("#screen").boundingBox();
        const { x, y, width, height } = layout.StaticText1;
        await page.mouse.click(box.x + x + width / 2,
                               box.y + box.height - layout.Content.height + y + height / 2);
        await page.evaluate(() => { window.keysMarker = 1; });
        await sleep(300);
    };
    const chromiumWindow = xdotool("search", "--onlyvisible", "--class", "chromium").split("\n").pop();
    const press = async keys => {
        xdotool("windowfocus", "--sync", chromiumWindow);
        xdotool("key", "--delay", "120", ...keys.split(" "));
        await sleep(900);
    };
    const row = (keys, what) => console.log(`${keys.padEnd(16)} ${what}`);

    await fresh();
    for (let n = 1; n <= 9; n++) {
        await press(`ctrl+${n}`);
        const { marked, visible } = await state();
        row(`Ctrl+${n}`, `${marked && visible === "visible" ? "reaches the program" : "taken by the browser"}` +
            `: aperture ${(await texts()).ApertureText}, focal length ${(await texts()).FocalLengthText}`);
    }
    await press("ctrl+r");
    {
        const { marked } = await state();
        row("Ctrl+R", `${marked ? "reaches the program (no reload)" : "the browser reloads"}: ` +
            `aperture ${(await texts()).ApertureText}, focal length ${(await texts()).FocalLengthText}`);
    }
    await press("F5");
    row("F5", (await state()).marked ? "reaches the program" : "the browser reloads the page");

    // Page tabs: Tab from the aperture slider, past the focal length, to the tabs; then Right.
    await fresh();
    await press("Tab Tab Right");
    row("Tab Tab Right", `page ${await pageInFront()} in front` +
        ` (${(await texts()).MagnificationText1} on page 2)`);
    await press("Left");
    row("Left", `page ${await pageInFront()} in front`);
    // Ctrl+Tab from the page tabs, alone in the window and then with a second browser tab.
    await fresh();
    await press("Tab Tab ctrl+Tab");
    row("Ctrl+Tab", `page ${await pageInFront()} in front, the only browser tab`);
    const [other] = await Promise.all([context.waitForEvent("page"),
                                       page.evaluate(() => window.open("about:blank"))]);
    await page.bringToFront();
    await fresh();
    await press("Tab Tab ctrl+Tab");
    const afterCtrlTab = await state();
    row("Ctrl+Tab", afterCtrlTab.visible === "hidden"
        ? "taken by the browser: it shows its next tab"
        : `page ${await pageInFront()} in front, with a second browser tab`);
    await other.close();
    await page.bringToFront();
    await fresh();
    await press("ctrl+q");
    row("Ctrl+Q", `page state "${(await state()).state}"`);

    await browser.close();
    server.close();
})().catch(error => {
    console.error(error);
    process.exit(1);
});

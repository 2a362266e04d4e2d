// Keyboard help for the search page; the pages work without it. "/" goes
// to the search box from anywhere but a field; on a results page, arrow
// keys move between the deals' links.
"use strict";
document.addEventListener("keydown", (event) => {
  const box = document.querySelector("input[name=q]");
  const typing = event.target instanceof HTMLInputElement || event.target instanceof HTMLSelectElement;
  if (event.key === "/" && box && !typing) {
    event.preventDefault();
    box.focus();
    box.select();
    return;
  }
  if (event.key !== "ArrowDown" && event.key !== "ArrowUp") return;
  if (typing && event.target !== box) return;
  const links = Array.from(document.querySelectorAll(".results td:first-child a"));
  if (links.length === 0) return;
  const at = links.indexOf(document.activeElement);
  const next = event.key === "ArrowDown" ? Math.min(at + 1, links.length - 1) : at - 1;
  event.preventDefault();
  if (next < 0) box?.focus();
  else links[next].focus();
});

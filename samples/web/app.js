// Greets whoever opens the page.
function greet(name) {
    return "Hello, " + name + "!";
}

/* The page calls this once it has loaded. */
document.addEventListener("DOMContentLoaded", () => {
    document.body.textContent = greet("reader");
});

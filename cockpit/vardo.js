// The Vardo page: every read and write runs "vardoctl --json ..." as the logged-in user,
// with its arguments as an argv list; rights come from the group "tellvara" as in the window.
"use strict";

const RightsHint = "Ändringar kräver medlemskap i gruppen \"tellvara\". En administratör ger det med:\n" +
    "adduser USER tellvara\n(logga sedan in igen)";
const PortRefused = "Porten måste vara ett heltal mellan 1 och 65535.";
const TimeRefused = "CheckPatient-tiden måste anges som HH:MM.";
const StatePollMs = 2000;

const $ = id => document.getElementById(id);
let mayWrite = true;
let selectedSlot = null;
let editingSlot = null;

// The reason of a failed run: the {"error": ...} document vardoctl leaves, else the text.
function reasonOf(failure) {
    const text = (failure.message || String(failure)).trim();
    try {
        return JSON.parse(text).error || text;
    } catch (e) {
        return text || failure.problem || "okänt fel";
    }
}

// A standard promise: a failure thrown inside cockpit's own promise would not reach .catch.
function vardoctl(args) {
    return new Promise((resolve, reject) => {
        cockpit.spawn(["vardoctl", "--json"].concat(args), { err: "message" })
                .then(out => resolve(JSON.parse(out)), failure => reject(new Error(reasonOf(failure))));
    });
}

function showMessage(text, isError) {
    const box = $("message");
    box.textContent = text;
    box.className = isError ? "message error" : "message";
    box.hidden = !text;
}

// A refused write says why, and how the right is granted.
function showFailure(error) {
    const refused = !mayWrite || /Permission denied|Åtkomst nekad|not permitted|Access denied|tellvara/i.test(error.message);
    showMessage(error.message + (refused && !error.message.includes("adduser") ? "\n\n" + RightsHint : ""), true);
}

// --- settings ---

function fillSettings(s) {
    $("TcpIPPort").value = s.TcpIPPort;
    $("GetMessageIntervall").value = s.GetMessageIntervall;
    $("CheckPatientTime").value = s.CheckPatientTime;
    $("LogtoEventLogg").checked = s.LogtoEventLogg !== "F";
    $("AlwaysLogtoFile").checked = s.AlwaysLogtoFile !== "F";
    $("Pasis_Path").value = s.Pasis_Path;
    $("DefaultDataProvider").value = s.DefaultDataProvider;
}

function loadSettings() {
    return vardoctl(["settings", "show"]).then(fillSettings);
}

// The page's own checks; null when the input may be written.
function settingsProblem() {
    const port = $("TcpIPPort").value.trim();
    if (!/^[0-9]+$/.test(port) || Number(port) < 1 || Number(port) > 65535)
        return PortRefused;
    if (!/^([01]?[0-9]|2[0-3]):[0-5][0-9]$/.test($("CheckPatientTime").value.trim()))
        return TimeRefused;
    return null;
}

function saveSettings(event) {
    event.preventDefault();
    const problem = settingsProblem();
    if (problem) {
        showMessage(problem, true);
        return;
    }
    const flag = id => $(id).checked ? "T" : "F";
    vardoctl(["settings", "set",
        "TcpIPPort=" + $("TcpIPPort").value.trim(),
        "GetMessageIntervall=" + $("GetMessageIntervall").value.trim(),
        "CheckPatientTime=" + $("CheckPatientTime").value.trim(),
        "LogtoEventLogg=" + flag("LogtoEventLogg"),
        "AlwaysLogtoFile=" + flag("AlwaysLogtoFile"),
        "Pasis_Path=" + $("Pasis_Path").value,
        "DefaultDataProvider=" + $("DefaultDataProvider").value])
            .then(settings => { fillSettings(settings); showMessage("Inställningarna är sparade.", false) })
            .catch(showFailure);
}

// --- organisations ---

function selectSlot(slot) {
    selectedSlot = slot;
    for (const item of $("org-list").children)
        item.classList.toggle("selected", Number(item.dataset.slot) === slot);
}

function loadOrganisations() {
    return vardoctl(["org", "list"]).then(rows => {
        const list = $("org-list");
        list.replaceChildren(...rows.map(row => {
            const item = document.createElement("li");
            item.textContent = row.text;
            item.dataset.slot = row.slot;
            item.addEventListener("click", () => selectSlot(row.slot));
            return item;
        }));
        selectSlot(rows.some(row => row.slot === selectedSlot) ? selectedSlot : null);
    });
}

function fillSelect(select, values, chosen) {
    select.replaceChildren(...values.map(value => new Option(value, value)));
    if (chosen !== undefined)
        select.value = chosen;
}

function fileName(path) {
    return path.substring(path.lastIndexOf("/") + 1);
}

function openDataLink() {
    return vardoctl(["db", "query", $("org-datalink").value])
            .then(numbers => fillSelect($("org-orgnr"), numbers))
            .catch(showFailure);
}

// The editor: data links, certificates and, for a stored slot, its values.
function openEditor(slot) {
    editingSlot = slot;
    $("org-form-title").textContent = slot === null ? "Ny organisation" : "Organisation " + slot;
    const stored = slot === null ? Promise.resolve(null) : vardoctl(["org", "show", String(slot)]);
    return Promise.all([vardoctl(["datalink", "list"]), vardoctl(["cert", "list"]), stored])
            .then(([links, certificates, values]) => {
                fillSelect($("org-datalink"), links.map(link => link.name));
                fillSelect($("org-cert"), certificates);
                $("org-orgnr").replaceChildren();
                $("org-checkpasis").checked = false;
                if (values) {
                    $("org-datalink").value = fileName(values.DefaultDataProvider);
                    fillSelect($("org-orgnr"), [values.OrganisationsNr], values.OrganisationsNr);
                    const line = certificates.find(c => c.split(" ")[1] === values.DefaultVardoCertificate);
                    if (line)
                        $("org-cert").value = line;
                    $("org-checkpasis").checked = values.CheckPasis === "1";
                }
                $("org-form").hidden = false;
            })
            .catch(showFailure);
}

function saveOrganisation(event) {
    event.preventDefault();
    const args = editingSlot === null ? ["org", "add"] : ["org", "edit", String(editingSlot)];
    vardoctl(args.concat(["--orgnr", $("org-orgnr").value, "--cert", $("org-cert").value,
        "--datalink", $("org-datalink").value, "--check-pasis", $("org-checkpasis").checked ? "1" : "0"]))
            .then(saved => {
                $("org-form").hidden = true;
                selectedSlot = saved.slot;
                showMessage("Organisationen är sparad.", false);
                return loadOrganisations();
            })
            .catch(showFailure);
}

function deleteOrganisation() {
    if (selectedSlot === null || !window.confirm("Vill du radera den markerade organisationen?"))
        return;
    vardoctl(["org", "delete", String(selectedSlot), "--yes"])
            .then(() => loadOrganisations())
            .catch(showFailure);
}

// --- the service ---

function refreshState() {
    return vardoctl(["service", "status"])
            .then(answer => { $("service-state").value = answer.state })
            .catch(error => { $("service-state").value = error.message });
}

// start and stop wait inside vardoctl; the state keeps being polled meanwhile.
function control(action, waiting) {
    $("service-state").value = waiting;
    vardoctl(["service", action]).catch(showFailure).finally(refreshState);
}

function probe(what, field) {
    vardoctl(["probe", what])
            .then(answer => { $(field).value = answer[what] })
            .catch(showFailure);
}

// --- rights ---

function applyRights(user) {
    mayWrite = user.id === 0 || user.name === "root" || (user.groups || []).includes("tellvara");
    if (mayWrite)
        return;
    $("rights").textContent = "Du kan läsa inställningarna men inte ändra dem. " + RightsHint.replace("USER", user.name);
    $("rights").hidden = false;
    for (const control of document.querySelectorAll("input, select"))
        control.disabled = true;
    for (const id of ["spara", "angra", "org-add", "org-edit", "org-delete", "service-start", "service-stop"])
        $(id).disabled = true;
}

function start() {
    $("settings-form").addEventListener("submit", saveSettings);
    $("angra").addEventListener("click", () => loadSettings().then(() => showMessage("", false)).catch(showFailure));
    $("org-add").addEventListener("click", () => openEditor(null));
    $("org-edit").addEventListener("click", () => selectedSlot !== null && openEditor(selectedSlot));
    $("org-delete").addEventListener("click", deleteOrganisation);
    $("org-open").addEventListener("click", openDataLink);
    $("org-form").addEventListener("submit", saveOrganisation);
    $("org-cancel").addEventListener("click", () => { $("org-form").hidden = true });
    $("service-start").addEventListener("click", () => control("start", "Startar..."));
    $("service-stop").addEventListener("click", () => control("stop", "Stoppar..."));
    $("version-refresh").addEventListener("click", () => probe("version", "version"));
    $("logdir-refresh").addEventListener("click", () => probe("logdir", "logdir"));
    cockpit.user().then(applyRights);
    Promise.all([loadSettings(), loadOrganisations(), refreshState()])
            .catch(showFailure)
            .finally(() => { document.body.dataset.loaded = "true" });
    window.setInterval(refreshState, StatePollMs);
}

document.addEventListener("DOMContentLoaded", start);

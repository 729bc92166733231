"""What a screen reader reads from the running program over the desktop's accessibility bus.

Starts the program, finds it on the AT-SPI bus, and checks the names and roles that a reader
speaks. Exits 77 (skipped) when pyatspi or the bus is not available.
"""
import os
import subprocess
import sys
import tempfile
import time

SKIP = 77

try:
    import pyatspi
except ImportError:
    print("SKIP: pyatspi non disponibile")
    sys.exit(SKIP)


def wait_for(condition, seconds, what):
    """Polls the condition until it holds; the bus answers asynchronously."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.1)
    raise AssertionError("non arrivato entro %d s: %s" % (seconds, what))


def nodes(root):
    stack = [root]
    while stack:
        node = stack.pop()
        if node is None:
            continue
        yield node
        stack.extend(node[i] for i in range(node.childCount))


def program_on_bus(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid and app.childCount > 0:
            return app
    return None


def names_with_role(root, role):
    return {node.name for node in nodes(root) if node.getRole() == role}


def check(program):
    frames = [node for node in program if node.getRole() == pyatspi.ROLE_FRAME]
    assert len(frames) == 1, "la finestra principale non e' un frame: %r" % [n.getRoleName() for n in program]
    window = frames[0]
    assert window.name.startswith("Nomaro - Vesk - Ver. "), window.name

    buttons = names_with_role(window, pyatspi.ROLE_PUSH_BUTTON)
    for tool_tip in ("Su di un livello di directory", "Apri finestra filtri", "Aggiungi alla lista files",
                     "Togli dalla lista files", "Cancella lista files", "Annulla i nomi nuovi",
                     "Sposta su", "Sposta giù"):
        assert tool_tip in buttons, "pulsante muto: %s" % tool_tip
    assert "" not in buttons, "un pulsante senza nome"

    fields = [node for node in nodes(window) if node.getRole() == pyatspi.ROLE_TEXT]
    assert len(fields) == 13, [f.name for f in fields]
    assert all(f.name for f in fields), [f.name for f in fields]
    increment = next(f for f in fields if f.name == "Incremento")
    assert any(f.name == "Parti da" for f in fields)
    labels = [relation for relation in increment.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    assert labels and any(relation.getTarget(i).name == "Incremento"
                          for relation in labels for i in range(relation.getNTargets())), \
        "il campo Incremento non e' legato alla sua etichetta"

    trees = names_with_role(window, pyatspi.ROLE_TREE)
    tables = names_with_role(window, pyatspi.ROLE_TABLE)
    assert {"Albero delle cartelle", "Contenuto della cartella"} <= trees, trees
    assert {"Lista Files", "Anteprima dei nomi nuovi"} <= tables, tables

    # Pressing the third page's tab renames the main tab control after it.
    tab = next(node for node in nodes(window)
               if node.getRole() == pyatspi.ROLE_PAGE_TAB and node.name == "Crea e Salva Lista Files")
    tab_control = tab.parent.parent
    assert tab_control.name == "Seleziona Files", tab_control.name
    tab.queryAction().doAction(0)
    wait_for(lambda: tab_control.name == "Crea e Salva Lista Files", 10, "il nome della pagina mostrata")


def main():
    program_path = sys.argv[1]
    with tempfile.TemporaryDirectory() as home:
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                           XDG_DATA_HOME=os.path.join(home, ".local", "share"))
        program = subprocess.Popen([program_path], env=environment)
        try:
            try:
                on_bus = wait_for(lambda: program_on_bus(program.pid), 60, "il programma sul bus AT-SPI")
            except AssertionError:
                if program.poll() is not None:
                    raise
                print("SKIP: il bus AT-SPI non mostra il programma")
                return SKIP
            check(on_bus)
        finally:
            program.terminate()
            program.wait(timeout=30)
    print("AT-SPI: nomi letti correttamente")
    return 0


if __name__ == "__main__":
    sys.exit(main())

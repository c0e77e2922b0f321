"""The main window's commands through the real executable and real X input:
server buttons, the clipboard exchange, closing the game, the layout and
full-screen mode."""
import subprocess
import time

from conftest import (BUTTON_CHECKED, BUTTON_DISABLED, BUTTON_PLAIN, DOMAIN, PREFIX, WM_SYSCOMMAND, SC_MAXIMIZE,
                      SC_MINIMIZE, SC_RESTORE, WS_CAPTION, WS_POPUP, accounts_file, button, button_colour, children,
                      click, click_at, client_box, clipboard, clipboard_viewer, inspect, inspect_json, post_close,
                      read_lines, settings_file, set_clipboard, site_requests, wait_for, windows_path)

WM_LBUTTONDOWN, WM_LBUTTONUP = 0x201, 0x202
WM_DRAWCLIPBOARD, WM_CHANGECBCHAIN = 0x308, 0x30D
EXCLUDE_FROM_HISTORY = 'ExcludeClipboardContentFromMonitorProcessing'

LABEL = 'Own7LaBel'  # generated labels mix cases; the control reports hosts in lower case
GET_URL, OPEN_URL, CLICK_LEFT, CLICK_RIGHT, PLUS = 1000, 1001, 1003, 1004, 1005
WM_BROWSER_EVENT = 0x400 + 51


def title_is(program, text):
    return lambda: program.info()['title'] == text


def is_own_address(text):
    return text.lower().startswith(f'http://{LABEL.lower()}.{DOMAIN}/')


def requested(path, host):
    return any(r['path'].startswith(path) and r['host'] == host.lower() for r in site_requests())


def open_client(start, workdir, args=(), **settings):
    accounts_file(workdir, LABEL)
    settings_file(workdir, **settings)
    program = start(args=args)
    program.main_window()
    return program


def test_server_buttons_open_their_battle_page(start, workdir):
    program = open_client(start, workdir, language='de')
    click(button(program.hwnd, 7))
    wait_for(title_is(program, '[7] Zelvara 1.0'), 'the title of server 7')
    wait_for(lambda: requested('/battle-de.html', f'{LABEL}.{DOMAIN}'), 'the battle page from the own host')
    wait_for(lambda: button_colour(program.hwnd, 7) == BUTTON_CHECKED, 'button 7 checked')
    assert children(program.hwnd, 'AtlAxWin120') and not children(program.hwnd, 'Zelvara#About')

    click(button(program.hwnd, 9))
    wait_for(title_is(program, '[9] Zelvara 1.0'), 'the title of server 9')
    wait_for(lambda: button_colour(program.hwnd, 9) == BUTTON_CHECKED, 'button 9 checked')
    assert button_colour(program.hwnd, 7) == BUTTON_PLAIN
    assert len(children(program.hwnd, 'AtlAxWin120')) == 1, 'one browser host at a time'

    # A page replaced leaves nothing behind: after more pages the process
    # holds the windows, GDI objects and kernel handles one page holds.
    def held():
        counts = inspect_json('resources', program.hwnd)
        return {k: counts[k] for k in ('windows', 'gdiTable', 'handleTable')}

    def open_page(server):
        click(button(program.hwnd, server))
        wait_for(title_is(program, f'[{server}] Zelvara 1.0'), f'the title of server {server}')

    def settled():
        first = held()
        time.sleep(0.5)
        return first if held() == first else None

    open_page(7)
    one_page = wait_for(settled, 'the counts of one page settled')
    assert all(v > 0 for v in one_page.values()), one_page
    for server in (9, 7, 9, 7):
        open_page(server)
    wait_for(lambda: held() == one_page, f'the counts of one page again, {one_page}', timeout=10)


def test_get_url_and_open_url_exchange_public_addresses(start, workdir, clipboard_viewer, add_viewer):
    program = open_client(start, workdir)
    assert button_colour(program.hwnd, OPEN_URL) == BUTTON_DISABLED, 'no player data for the host yet'
    assert button_colour(program.hwnd, GET_URL) == BUTTON_DISABLED
    click(button(program.hwnd, 5))
    wait_for(title_is(program, '[5] Zelvara 1.0'), 'server 5')
    wait_for(lambda: button_colour(program.hwnd, GET_URL) != BUTTON_DISABLED, 'Get Url enabled')

    # A viewer that joins after ours hears of a change first, as a clipboard
    # history does: the labelled address is never there for it to read.
    ahead = add_viewer('ahead')
    click(button(program.hwnd, GET_URL))
    public5 = f'http://{DOMAIN}/battle-en.html#/server=RU5'
    wait_for(lambda: clipboard() == public5, 'the public form on the clipboard')
    wait_for(lambda: public5 in ahead.texts(), 'the viewer ahead of ours told')
    # The player's own copy, recorded by the history like any other.
    assert EXCLUDE_FROM_HISTORY not in inspect_json('clipboard-formats')
    # A viewer that joined the chain before us hears of the address only once
    # it is public.
    wait_for(lambda: public5 in clipboard_viewer.texts(), 'the viewer after ours told')
    assert not [t for t in clipboard_viewer.texts() + ahead.texts() if is_own_address(t)]
    # They read whatever is copied, whole: not the huge copy below.
    clipboard_viewer.leave()
    ahead.leave()

    set_clipboard(f'http://{DOMAIN}/battle-de.html#/server=RU3')
    click(button(program.hwnd, OPEN_URL))
    wait_for(title_is(program, '[3] Zelvara 1.0'), 'server 3 opened from the clipboard')
    wait_for(lambda: button_colour(program.hwnd, 3) == BUTTON_CHECKED, 'button 3 checked')
    assert button_colour(program.hwnd, 5) == BUTTON_PLAIN
    wait_for(lambda: requested('/battle-en.html', f'{LABEL}.{DOMAIN}'), 'own host, current language')

    for text in (f'http://{DOMAIN}/battle-en.html#/server=RU0',
                 f'http://{DOMAIN}/battle-en.html#/server=RU31',
                 f'http://other.site/?u={DOMAIN}/battle-en.html#/server=RU4',
                 'just some words'):
        set_clipboard(text)
        before = len(site_requests())
        click(button(program.hwnd, OPEN_URL))
        time.sleep(0.5)  # nothing may happen; give it the chance to go wrong
        assert program.info()['title'] == '[3] Zelvara 1.0', text
        assert len(site_requests()) == before, text

    # 10 MB of text copied over X opens nothing and blocks nothing: a real
    # address right after it is still opened.
    huge = f'http://{DOMAIN}/battle-en.html#/server=RU4' + 'x' * (10 << 20)
    xclip = subprocess.Popen(['xclip', '-selection', 'clipboard', '-quiet'], stdin=subprocess.PIPE,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        xclip.stdin.write(huge.encode())
        xclip.stdin.close()
        click(button(program.hwnd, OPEN_URL))
        time.sleep(1.0)  # nothing may happen; give it the chance to go wrong
    finally:
        xclip.kill()
        xclip.wait()
    assert program.info()['title'] == '[3] Zelvara 1.0'
    set_clipboard(f'http://{DOMAIN}/battle-en.html#/server=RU6')
    click(button(program.hwnd, OPEN_URL))
    wait_for(title_is(program, '[6] Zelvara 1.0'), 'server 6 opened after the huge text')


def test_clipboard_watch_publishes_own_addresses_only(start, workdir, clipboard_viewer, add_viewer):
    program = open_client(start, workdir)
    own = f'http://{LABEL.lower()}.{DOMAIN}/battle-ru.html#/server=RU12'  # as the control reports it
    set_clipboard(own)
    wait_for(lambda: clipboard() == f'http://{DOMAIN}/battle-en.html#/server=RU12', 'the public form')
    # Copied from another program over X: the watch sees it too.
    xclip = subprocess.Popen(['xclip', '-selection', 'clipboard', '-quiet'], stdin=subprocess.PIPE,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        xclip.stdin.write(own.replace('RU12', 'RU8').encode())
        xclip.stdin.close()
        wait_for(lambda: clipboard() == f'http://{DOMAIN}/battle-en.html#/server=RU8', 'the X copy published')
    finally:
        xclip.kill()
        xclip.wait()
    foreign = f'http://other.site/{LABEL}.{DOMAIN}/battle-en.html'
    set_clipboard(foreign)
    time.sleep(0.5)
    assert clipboard() == foreign, 'text that is not an own address stays as copied'
    # The viewer after ours saw each own address only in its public form.
    wait_for(lambda: foreign in clipboard_viewer.texts(), 'the viewer after ours told')
    assert not [t for t in clipboard_viewer.texts() if is_own_address(t)]
    assert program.info()['title'] == 'Zelvara 1.0'

    # A viewer ahead of ours that passes on only the first notice swallows
    # the rewrite's own: the viewer after ours is told of the public form all
    # the same, and the rewrite is kept out of the history, which recorded
    # the copy already.
    add_viewer('ahead', 'swallow')
    set_clipboard(own.replace('RU12', 'RU5'))
    public5 = f'http://{DOMAIN}/battle-en.html#/server=RU5'
    wait_for(lambda: clipboard() == public5, 'the public form')
    wait_for(lambda: public5 in clipboard_viewer.texts(), 'the viewer after ours told of the rewrite')
    assert EXCLUDE_FROM_HISTORY in inspect_json('clipboard-formats')
    assert program.close() == 0
    assert not [t for t in clipboard_viewer.texts() if is_own_address(t)]


def test_forged_chain_messages_change_nothing(start, workdir, clipboard_viewer):
    program = open_client(start, workdir)
    after_ours = inspect_json('find', 'zprobe viewer')[0]['hwnd']
    # Posted by any program: our next viewer leaving with us after it, or no
    # window leaving (we would link to ourselves and pass every notice round
    # for ever); windows we never chained to leaving.
    for leaving, after in ((after_ours, program.hwnd), (0, program.hwnd), (program.hwnd, program.hwnd),
                           (0x1234, after_ours), (after_ours, 0x7FF0)):
        inspect('post', program.hwnd, WM_CHANGECBCHAIN, leaving, after)
    set_clipboard('after the forgery')
    wait_for(lambda: 'after the forgery' in clipboard_viewer.texts(), 'the viewer after ours still told')
    assert program.close() == 0


def test_a_hung_viewer_after_ours_freezes_nothing(start, workdir, add_viewer):
    hung = add_viewer('hung', 'hang')  # joins first, stops answering at the first change
    program = open_client(start, workdir)
    own = f'http://{LABEL.lower()}.{DOMAIN}/battle-en.html#/server=RU'
    public = f'http://{DOMAIN}/battle-en.html#/server=RU'
    set_clipboard(own + '5')
    wait_for(lambda: public + '5' in hung.texts(), 'the viewer told, before it stops answering')
    set_clipboard(own + '6')
    wait_for(lambda: clipboard() == public + '6', 'the next copy published while it hangs')
    assert program.close() == 0


def test_a_busy_viewer_after_ours_hears_of_every_copy_in_public_form(start, workdir, add_viewer):
    busy = add_viewer('busy', 'busy')  # joins first; reads no messages for 1.5 s at each notice
    program = open_client(start, workdir)
    own = f'http://{LABEL.lower()}.{DOMAIN}/battle-en.html#/server=RU'
    public = f'http://{DOMAIN}/battle-en.html#/server=RU'
    set_clipboard(own + '5')
    wait_for(lambda: public + '5' in busy.texts(), 'the viewer told of the first copy')
    set_clipboard(own + '6')  # while the viewer works on the first
    wait_for(lambda: public + '6' in busy.texts(), 'the viewer told of the second copy once it looks again')
    assert not [t for t in busy.texts() if is_own_address(t)]
    assert program.close() == 0


def chain_between(start, workdir, add_viewer):
    """Viewers after ours and a head ahead of it that logs the chain
    messages it gets, working 3 s on each; the windows of ours, the one
    after it and the last."""
    last, after_ours = add_viewer('last'), add_viewer('after')
    program = open_client(start, workdir)
    head = add_viewer('head', 'head')
    hwnd = lambda viewer: inspect_json('find', 'zprobe viewer', windows_path(viewer.log))[0]['hwnd']
    return program, head, after_ours, last, (program.hwnd, hwnd(after_ours), hwnd(last))


def told(head, what='chain'):
    return [tuple(line[what]) for line in head.texts() if isinstance(line, dict) and what in line]


def test_a_viewer_leaving_with_ours_keeps_the_chain_whole(start, workdir, add_viewer):
    program, head, after_ours, last, (ours, after, last_one) = chain_between(start, workdir, add_viewer)
    # Both leave while the head works on the first leaving: it passes that on
    # to ours while ours leaves, then links itself to the one that has gone,
    # and ours tells it again.
    after_ours.close()
    wait_for(lambda: told(head) == [(after, last_one)], 'the head working on the first leaving')
    assert program.close() == 0
    set_clipboard('after both left')
    wait_for(lambda: 'after both left' in last.texts(), 'the last viewer still told')
    assert told(head) == [(after, last_one), (ours, after), (after, last_one)], 'the leavings overlapped'


def test_a_forged_leave_while_ours_leaves_cuts_no_viewer_out(start, workdir, add_viewer):
    program, head, after_ours, last, (ours, after, last_one) = chain_between(start, workdir, add_viewer)
    post_close(program.hwnd)
    wait_for(lambda: told(head) == [(ours, after)], 'the head working on our leaving')
    # Another program names the viewer after ours as leaving, while ours
    # waits for the head.
    inspect('send', program.hwnd, WM_CHANGECBCHAIN, after, last_one)
    assert not told(head, 'handled'), 'the forged message came while ours was leaving'
    assert program.process.wait(timeout=30) == 0
    set_clipboard('after the forgery')
    wait_for(lambda: 'after the forgery' in after_ours.texts() and 'after the forgery' in last.texts(),
             'every viewer still told')
    assert told(head) == [(ours, after)]


def test_a_clipboard_held_open_delays_the_notice_and_lets_no_label_through(start, workdir, add_viewer,
                                                                             hold_clipboard):
    own = f'http://{LABEL.lower()}.{DOMAIN}/battle-en.html#/server=RU'
    set_clipboard(own + '9')
    release = hold_clipboard()  # another program reads it, slowly
    after_ours = add_viewer('after')
    program = open_client(start, workdir)
    release()
    public9 = f'http://{DOMAIN}/battle-en.html#/server=RU9'
    wait_for(lambda: clipboard() == public9, 'the label rewritten once the clipboard is free')
    wait_for(lambda: public9 in after_ours.texts(), 'the viewer after ours told')
    assert not [t for t in after_ours.texts() if is_own_address(t)]

    hold_clipboard(own + '8')  # and now changes it while holding it open
    # A notice while the clipboard cannot be read waits for the read ...
    inspect('send', program.hwnd, WM_DRAWCLIPBOARD, 0, 0)  # as a viewer ahead of ours passes it on
    told = len(after_ours.texts())
    time.sleep(0.5)  # nothing may happen; give it the chance to go wrong
    assert len(after_ours.texts()) == told, 'no notice before the clipboard was read'
    # ... and is passed on when the window closes first.
    assert program.close() == 0
    wait_for(lambda: len(after_ours.texts()) > told, 'the held notice passed on at closing')


def test_open_url_starts_enabled_with_player_data_for_the_host(start, workdir):
    roaming = next(p for p in (PREFIX / 'drive_c' / 'users').glob('*/AppData/Roaming') if 'Public' not in str(p))
    entry = roaming / 'Macromedia' / 'Flash Player' / '#SharedObjects' / 'K7TQ2ZP9' / f'{LABEL}.{DOMAIN}'
    entry.mkdir(parents=True)
    try:
        program = open_client(start, workdir)
        assert button_colour(program.hwnd, OPEN_URL) == BUTTON_PLAIN
    finally:
        entry.rmdir()


def test_failed_page_and_front_page_close_the_game(start, workdir):
    program = open_client(start, workdir, language='xx')  # /battle-xx.html does not exist
    click(button(program.hwnd, 2))
    wait_for(lambda: requested('/battle-xx.html', f'{LABEL}.{DOMAIN}'), 'the request')
    wait_for(lambda: children(program.hwnd, 'Zelvara#About'), 'the About view back')
    assert program.info()['title'] == 'Zelvara 1.0'
    assert not children(program.hwnd, 'AtlAxWin120')
    assert button_colour(program.hwnd, 2) == BUTTON_PLAIN
    for disabled in (GET_URL, CLICK_LEFT, CLICK_RIGHT):
        assert button_colour(program.hwnd, disabled) == BUTTON_DISABLED, disabled
    # Clicks on the disabled buttons start no clicker and copy nothing. The
    # "+" clicked after them is handled after them too: once it shows, they
    # were.
    set_clipboard('kept')
    for disabled in (CLICK_LEFT, CLICK_RIGHT, GET_URL):
        click(button(program.hwnd, disabled))
    click(button(program.hwnd, PLUS))
    wait_for(lambda: button_colour(program.hwnd, PLUS) == BUTTON_CHECKED, 'the click after them handled')
    assert not inspect_json('find', 'Zelvara#Clicker')
    assert clipboard() == 'kept'
    assert button_colour(program.hwnd, CLICK_LEFT) == BUTTON_DISABLED, 'a click with no game lights nothing'
    click(button(program.hwnd, PLUS))
    wait_for(lambda: button_colour(program.hwnd, PLUS) == BUTTON_PLAIN, 'back from full screen')

    program.close()
    again = open_client(start, workdir, language='moved')  # moves on to the front page
    click(button(again.hwnd, 4))
    wait_for(title_is(again, '[4] Zelvara 1.0'), 'server 4')
    wait_for(lambda: requested('/', f'{LABEL}.{DOMAIN}') and children(again.hwnd, 'Zelvara#About'),
             'the front page to close the game')
    assert again.info()['title'] == 'Zelvara 1.0'

    again.close()
    redirected = open_client(start, workdir, language='redirected')  # the site answers with its front page
    click(button(redirected.hwnd, 6))
    wait_for(lambda: requested('/battle-redirected.html', f'{LABEL}.{DOMAIN}'), 'the battle page asked for')
    wait_for(lambda: children(redirected.hwnd, 'Zelvara#About'), 'the redirect to the front page to close the game')
    assert redirected.info()['title'] == 'Zelvara 1.0'


def test_front_page_of_another_label_keeps_the_game(start, workdir):
    program = open_client(start, workdir, args=['cmdlabel'], language='moved')
    click(button(program.hwnd, 4))
    wait_for(lambda: requested('/', f'cmdlabel.{DOMAIN}'), 'the move to the front page')
    # Browser events made up by another program: a navigation error with a
    # number the page never raised, and with an address where a pointer was.
    for number in (0x1234, 1, 2, 3, 0x7FFFFFFF):
        inspect('post', program.hwnd, WM_BROWSER_EVENT, 271, number)
    time.sleep(0.5)
    assert program.info()['title'] == '[cmdlabel] [4] Zelvara 1.0'
    assert children(program.hwnd, 'AtlAxWin120')
    assert program.close() == 0


def test_layout_of_the_minimum_window(start, workdir):
    program = open_client(start, workdir)
    main = program.info()
    assert main['client'] == [1000, 630]
    about = children(program.hwnd, 'Zelvara#About')[0]
    assert client_box(main, about) == (0, 31, 1000, 600)

    boxes = {b['id']: client_box(main, b) for b in children(program.hwnd, 'Zelvara#Button')}
    assert boxes[PLUS] == (975, 5, 20, 20)
    assert boxes[CLICK_RIGHT][0] == 975 - 5 - boxes[CLICK_RIGHT][2]
    assert boxes[CLICK_LEFT][0] == boxes[CLICK_RIGHT][0] - 2 - boxes[CLICK_LEFT][2]
    start_x = boxes[OPEN_URL][0] + boxes[OPEN_URL][2] + 5
    avail = boxes[CLICK_LEFT][0] - start_x - 3
    base, rem = avail // 30 - 2, avail - (avail // 30) * 30
    x = start_x
    for k in range(1, 31):
        width = base + 1 if k - 1 + rem >= 30 else base
        assert boxes[k] == (x, 5, width, 20), k
        x += width + 2

    click(button(program.hwnd, 1))
    wait_for(lambda: children(program.hwnd, 'AtlAxWin120'), 'the browser host')
    host = children(program.hwnd, 'AtlAxWin120')[0]
    assert client_box(program.info(), host) == (0, 30, 1000, 600)


def test_full_screen_and_back(start, workdir, metrics):
    settings_file(workdir, rect=(100, 60, 1140, 760))
    program = start()
    program.main_window()
    click(button(program.hwnd, PLUS))
    screen_w, screen_h = metrics['screen']
    wait_for(lambda: program.info()['rect'] == [0, 0, screen_w, screen_h], 'the whole screen')
    info = program.info()
    assert info['style'] & WS_POPUP and not info['style'] & WS_CAPTION
    wait_for(lambda: button_colour(program.hwnd, PLUS) == BUTTON_CHECKED, '+ checked')

    # In full screen a click on the top row hides the bar while a game is open.
    click(button(program.hwnd, 6))
    wait_for(lambda: children(program.hwnd, 'AtlAxWin120'), 'the browser host')
    host = lambda: client_box(program.info(), children(program.hwnd, 'AtlAxWin120')[0])
    wait_for(lambda: host() == (0, 30, screen_w, screen_h - 30), 'the area under the bar')
    click_at(400, 0)
    wait_for(lambda: host() == (0, 0, screen_w, screen_h), 'the bar hidden')
    click_at(400, 1)
    time.sleep(0.3)
    assert host() == (0, 0, screen_w, screen_h), 'only the top row toggles'
    click_at(400, 0)
    wait_for(lambda: host() == (0, 30, screen_w, screen_h - 30), 'the bar back')

    click(button(program.hwnd, PLUS))
    wait_for(lambda: program.info()['rect'] == [100, 60, 1140, 760], 'the earlier rectangle')
    assert program.info()['style'] & WS_CAPTION and not program.info()['style'] & WS_POPUP
    wait_for(lambda: button_colour(program.hwnd, PLUS) == BUTTON_PLAIN, '+ unchecked')

    # Switched on while minimised, and off once restored: back to the normal
    # rectangle, never to the minimised one.
    inspect('post', program.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0)
    wait_for(lambda: program.info()['iconic'], 'the window minimised')
    plus = button(program.hwnd, PLUS)['hwnd']
    inspect('post', plus, WM_LBUTTONDOWN, 1, 0x00020002)
    inspect('post', plus, WM_LBUTTONUP, 0, 0x00020002)
    wait_for(lambda: program.info()['style'] & WS_POPUP, 'full screen while minimised')
    inspect('post', program.hwnd, WM_SYSCOMMAND, SC_RESTORE, 0)
    wait_for(lambda: not program.info()['iconic'], 'the window restored')
    click(button(program.hwnd, PLUS))
    wait_for(lambda: program.info()['rect'] == [100, 60, 1140, 760], 'the normal rectangle again')
    assert program.close() == 0
    assert tuple(int(v) for v in read_lines(workdir / 'zelvara.cfg')[5:9]) == (100, 60, 1140, 760)


def test_full_screen_is_restored_at_start_and_left_to_the_work_area_when_maximised(start, workdir, metrics):
    settings_file(workdir, rect=(100, 60, 1140, 760), flags=2)
    program = start()
    program.main_window()
    screen_w, screen_h = metrics['screen']
    wait_for(lambda: program.info()['rect'] == [0, 0, screen_w, screen_h], 'full screen at start')
    wait_for(lambda: button_colour(program.hwnd, PLUS) == BUTTON_CHECKED, '+ checked')
    click(button(program.hwnd, PLUS))
    wait_for(lambda: program.info()['rect'] == [100, 60, 1140, 760], 'the stored rectangle')
    program.close()

    settings_file(workdir, rect=(100, 60, 1140, 760))
    again = start()
    again.main_window()
    inspect('post', again.hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0)
    wait_for(lambda: again.info()['zoomed'], 'maximised')
    click(button(again.hwnd, PLUS))
    wait_for(lambda: again.info()['rect'] == [0, 0, screen_w, screen_h], 'full screen')
    click(button(again.hwnd, PLUS))
    # Here the work area is the whole screen, so the style tells that the
    # click was handled. The work area: on Windows the full-screen metrics
    # plus one caption, but this Wine's SM_CYFULLSCREEN does not follow the
    # work area (it is 1035 on a 1024-pixel screen with no task bar).
    wait_for(lambda: again.info()['style'] & WS_CAPTION and not again.info()['style'] & WS_POPUP, 'framed again')
    work = [m['work'] for m in inspect_json('monitors') if m['primary']]
    assert [again.info()['rect']] == work

'''systemd's manager as the service control backend sees it.

Debian's dbusmock template for systemd, extended with what the backend reads and does: Subscribe,
LoadUnit, the units' Job, FreezerState, InvocationID and ActiveEnterTimestampMonotonic, the
service interface with its time-outs and NRestarts, job objects with their type, jobs that take
time, never end or are over before the request returns, units that fail or are restarted soon
after their start, a manager that refuses, and systemd's NoSuchUnit error for a unit it does not
know.
'''

import os
import time

import dbus
from gi.repository import GLib

from dbusmock import MOCK_IFACE, mockobject
from dbusmock.templates import systemd as debian
from dbusmock.templates.systemd import *  # noqa: F401,F403 -- the names and methods it has

SERVICE_IFACE = debian.BUS_PREFIX + '.Service'
JOB_IFACE = debian.BUS_PREFIX + '.Job'
NO_SUCH_UNIT = debian.BUS_PREFIX + '.NoSuchUnit'
NO_JOB = dbus.Struct((dbus.UInt32(0), dbus.ObjectPath('/')), signature='uo')


def load(mock, parameters):
    debian.load(mock, parameters)
    mock.installed = set()
    mock.jobs = {}
    mock.after_start = {}
    mock.refusal = ''


def unit_of(mock, name):
    return mockobject.objects[mock.units[str(name)]]


def set_unit(mock, name, properties):
    # The mock's UpdateProperties cannot wrap a struct such as Job; the backend polls anyway.
    unit_of(mock, name).props[debian.UNIT_IFACE].update(properties)


def add_unit(mock, name, load_state):
    path = f'{debian.PATH_PREFIX}/unit/{debian.escape_unit_name(name)}'
    mock.units[str(name)] = path
    mock.AddObject(path, debian.UNIT_IFACE, {
        'Id': name,
        'Names': [name],
        'LoadState': load_state,
        'ActiveState': 'inactive',
        'FreezerState': 'running',
        'Job': NO_JOB,
        'InvocationID': invocation_id(),
        # Active since the machine started, unless a start job of the mock's makes it active.
        'ActiveEnterTimestampMonotonic': dbus.UInt64(1000000),
    }, [])
    mockobject.objects[path].AddProperties(SERVICE_IFACE, {
        'TimeoutStartUSec': dbus.UInt64(90000000),
        'TimeoutStopUSec': dbus.UInt64(90000000),
        'NRestarts': dbus.UInt32(0),
    })
    mock.jobs.setdefault(str(name), (200, 'active', 'inactive'))
    return path


def invocation_id():
    return dbus.ByteArray(os.urandom(16))


def monotonic_usec():
    return dbus.UInt64(time.monotonic_ns() // 1000)


def new_run(mock, name, restarts, since):
    '''A new run of the unit, as systemd's start or restart makes one.'''
    set_unit(mock, name, {'InvocationID': invocation_id(), 'ActiveEnterTimestampMonotonic': since})
    unit_of(mock, name).props[SERVICE_IFACE]['NRestarts'] = dbus.UInt32(restarts)


def after_start(mock, name):
    '''What an active unit does next: fail once, or be restarted again and again.'''
    milliseconds, what = mock.after_start.get(name, (0, ''))
    if what == 'fail':
        GLib.timeout_add(milliseconds, lambda: set_unit(mock, name, {'ActiveState': 'failed'}))
    elif what == 'restart':
        # The same start time throughout: only the run's identity shows the restarts.
        since = unit_of(mock, name).Get(debian.UNIT_IFACE, 'ActiveEnterTimestampMonotonic')

        def restart():
            if unit_of(mock, name).Get(debian.UNIT_IFACE, 'ActiveState') != 'active':
                return False
            restarts = unit_of(mock, name).Get(SERVICE_IFACE, 'NRestarts') + 1
            new_run(mock, name, restarts, since)
            return True
        GLib.timeout_add(milliseconds, restart)


def loaded(mock, name):
    name = str(name)
    if name not in mock.units:
        add_unit(mock, name, 'loaded' if name in mock.installed else 'not-found')
    return mock.units[name]


def add_job(mock, name, job_type):
    job_id = mock.next_job_id
    mock.next_job_id += 1
    path = f'{debian.PATH_PREFIX}/job/{job_id}'
    mock.AddObject(path, JOB_IFACE, {
        'Id': dbus.UInt32(job_id),
        'JobType': job_type,
        'State': 'running',
        'Unit': dbus.Struct((name, dbus.ObjectPath(mock.units[name])), signature='so'),
    }, [])
    set_unit(mock, name, {
        'Job': dbus.Struct((dbus.UInt32(job_id), dbus.ObjectPath(path)), signature='uo')})
    return job_id, path


def finish_job(mock, name, job_id, path, job_type, end_state):
    set_unit(mock, name, {'ActiveState': end_state, 'Job': NO_JOB})
    if job_type == 'start' and end_state == 'active':
        new_run(mock, name, 0, monotonic_usec())
        after_start(mock, name)
    mock.RemoveObject(path)
    mock.EmitSignal(debian.MAIN_IFACE, 'JobRemoved', 'uoss', [job_id, path, name, 'done'])
    return False


def queue(mock, name, job_type, passing_state):
    if mock.refusal:
        raise dbus.exceptions.DBusException('Access denied', name=mock.refusal)
    name = str(name)
    loaded(mock, name)
    unit = unit_of(mock, name)
    if unit.Get(debian.UNIT_IFACE, 'LoadState') == 'not-found':
        raise dbus.exceptions.DBusException(f'Unit {name} not found.', name=NO_SUCH_UNIT)
    job_id, path = add_job(mock, name, job_type)
    set_unit(mock, name, {'ActiveState': passing_state})
    milliseconds, started, stopped = mock.jobs[name]
    end_state = started if job_type == 'start' else stopped
    if end_state and milliseconds == 0:
        # Over before the request returns, as a start whose condition fails.
        finish_job(mock, name, job_id, path, job_type, end_state)
    elif end_state:
        GLib.timeout_add(milliseconds,
                         lambda: finish_job(mock, name, job_id, path, job_type, end_state))
    return path


@dbus.service.method(debian.MAIN_IFACE, in_signature='', out_signature='')
def Subscribe(self):
    pass


@dbus.service.method(debian.MAIN_IFACE, in_signature='s', out_signature='o')
def GetUnit(self, name):
    if str(name) not in self.units:
        raise dbus.exceptions.DBusException(f'Unit {name} not loaded.', name=NO_SUCH_UNIT)
    return self.units[str(name)]


@dbus.service.method(debian.MAIN_IFACE, in_signature='s', out_signature='o')
def LoadUnit(self, name):
    return loaded(self, name)


@dbus.service.method(debian.MAIN_IFACE, in_signature='ss', out_signature='o')
def StartUnit(self, name, _mode):
    return queue(self, name, 'start', 'activating')


@dbus.service.method(debian.MAIN_IFACE, in_signature='ss', out_signature='o')
def StopUnit(self, name, _mode):
    return queue(self, name, 'stop', 'deactivating')


@dbus.service.method(MOCK_IFACE, in_signature='s')
def AddMockUnit(self, name):
    add_unit(self, name, 'loaded')


@dbus.service.method(MOCK_IFACE, in_signature='s')
def AddMockInstalledUnit(self, name):
    '''A unit on disk that LoadUnit loads; GetUnit does not know it before.'''
    self.installed.add(str(name))


@dbus.service.method(MOCK_IFACE, in_signature='suss')
def SetMockJobs(self, name, milliseconds, started, stopped):
    '''How long the unit's jobs take and the state they end in; an empty state never ends, and
    0 milliseconds ends the job before the request returns.'''
    self.jobs[str(name)] = (int(milliseconds), str(started), str(stopped))


@dbus.service.method(MOCK_IFACE, in_signature='ss')
def AddMockJob(self, name, job_type):
    '''A job of that type queued for the unit that never ends.'''
    add_job(self, str(name), str(job_type))


@dbus.service.method(MOCK_IFACE, in_signature='s')
def SetMockRefusal(self, error_name):
    '''Start and stop requests fail with that error; empty accepts them again.'''
    self.refusal = str(error_name)


@dbus.service.method(MOCK_IFACE, in_signature='sus')
def SetMockAfterStart(self, name, milliseconds, what):
    '''After a start job made the unit active: "fail" fails it that much later, "restart"
    starts a new run every so many milliseconds; empty does nothing.'''
    self.after_start[str(name)] = (int(milliseconds), str(what))
